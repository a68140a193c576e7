#include "app.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "framework/backend.h"
#include "framework/uiqueue.h"
#include "platform/system.h"

namespace {
CWinApp* g_app = nullptr;
std::atomic<bool> g_failNextThread{false};
}  // namespace

CWinApp::CWinApp(LPCWSTR appName) : m_pszAppName(appName) { g_app = this; }
CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}
CWinApp* AfxGetApp() { return g_app; }

CString AfxGetAppName() {
  if (g_app && g_app->m_pszAppName) return g_app->m_pszAppName;
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const CString file(path);
  const CString name = file.Mid(std::max(file.ReverseFind(L'/'), file.ReverseFind(L'\\')) + 1);
  const int dot = name.ReverseFind(L'.');
  return dot < 0 ? name : name.Left(dot);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
  for (size_t i = 0; i < m_arguments.size(); ++i) {
    const CString& argument = m_arguments[i];
    const bool flag = !argument.IsEmpty() && (argument[0] == L'-' || argument[0] == L'/');
    const CString param = flag ? argument.Mid(1) : argument;
    info.ParseParam(param, flag ? TRUE : FALSE, i + 1 == m_arguments.size() ? TRUE : FALSE);
  }
}

HICON CWinApp::LoadIcon(UINT id) const { return AfxLoadIcon(id); }

#ifndef _WIN32
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) { return init ? TRUE : FALSE; }
#endif

int AfxMessageBox(LPCWSTR text, UINT type, UINT) {
  const CString copy(text);
  return afx::CallOnUi(
      [&] {
        afx::Backend* backend = afx::GetBackend();
        return backend ? backend->MessageBox(copy, type) : IDOK;
      },
      IDCANCEL);
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, void* param, int, UINT, DWORD, void*) {
  if (g_failNextThread.exchange(false)) return nullptr;
  auto* thread = new CWinThread;
  afx::ThreadStarted();
  try {
    std::thread([proc, param, thread] {
      proc(param);
      delete thread;
      afx::ThreadEnded();
    }).detach();
  } catch (const std::system_error&) {
    afx::ThreadEnded();
    delete thread;
    return nullptr;
  }
  return thread;
}

void FailNextThreadStartForTesting() { g_failNextThread = true; }

CFileDialog::CFileDialog(BOOL openFileDialog, LPCWSTR defaultExtension, LPCWSTR fileName,
                         DWORD flags, LPCWSTR filter, CWnd*)
    : m_bOpenFileDialog(openFileDialog),
      m_strDefaultExtension(defaultExtension),
      m_strInitialName(fileName),
      m_dwFlags(flags),
      m_strFilter(filter) {}

std::intptr_t CFileDialog::DoModal() {
  return afx::CallOnUi(
      [this] {
        afx::Backend* backend = afx::GetBackend();
        return backend ? backend->SaveFileDialog(*this) : IDCANCEL;
      },
      IDCANCEL);
}

CString CFileDialog::GetFileName() const {
  // The system's save dialog on Windows answers with '\\' between folders.
  const int slash = std::max(m_strPathName.ReverseFind(L'/'), m_strPathName.ReverseFind(L'\\'));
  return slash < 0 ? m_strPathName : m_strPathName.Mid(slash + 1);
}

CFolderDialog::CFolderDialog(LPCWSTR title, LPCWSTR prompt, LPCWSTR initialFolder, CWnd*)
    : m_strTitle(title), m_strPrompt(prompt), m_strInitialFolder(initialFolder) {}

std::intptr_t CFolderDialog::DoModal() {
  return afx::CallOnUi(
      [this] {
        afx::Backend* backend = afx::GetBackend();
        return backend ? backend->FolderDialog(*this) : IDCANCEL;
      },
      IDCANCEL);
}
