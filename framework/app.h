// The application object, the command line, worker threads, message boxes,
// the save-file dialog and the folder dialog.
#pragma once

#include <vector>

#include "framework/cstring.h"
#include "framework/window.h"

class CCommandLineInfo {
 public:
  virtual ~CCommandLineInfo() = default;
  // Called once per argument after the program name. One leading '-' or '/'
  // is removed first and reported in isFlag.
  virtual void ParseParam(const wchar_t* param, BOOL isFlag, BOOL isLast) {}
};

class CWinApp {
 public:
  // appName captions the program's message boxes (see AfxGetAppName).
  explicit CWinApp(LPCWSTR appName = nullptr);
  virtual ~CWinApp();
  virtual BOOL InitInstance() { return TRUE; }
  // Called when InitInstance has returned; its result is the program's exit
  // status.
  virtual int ExitInstance() { return 0; }
  void ParseCommandLine(CCommandLineInfo& info);
  HICON LoadIcon(UINT id) const;

  CWnd* m_pMainWnd = nullptr;
  // The name the program was made with; null for none.
  LPCWSTR m_pszAppName;
  // The arguments after the program name, as the platform passed them.
  std::vector<CString> m_arguments;
};

CWinApp* AfxGetApp();
// The caption of every message box: the application object's name, else
// (a program without a name of its own, such as a dialog preview) the
// program file's name without folder and extension.
CString AfxGetAppName();

#ifndef _WIN32
struct INITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
};
constexpr DWORD ICC_WIN95_CLASSES = 0xFF;
// Common controls need no loading here; the backends always provide them.
// On Windows this is the real call.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);
#endif

// Shows a message box with an OK button and returns IDOK, or with Yes and No
// buttons (MB_YESNO) and returns IDYES or IDNO; with MB_DEFBUTTON2 the
// second button is the default, which Return presses. From a worker thread the box
// is shown on the UI thread and the worker waits for the answer; when the UI
// has closed it returns IDCANCEL at once.
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);

using AFX_THREADPROC = UINT (*)(void* param);
class CWinThread {
 public:
  bool m_bAutoDelete = true;
};
// Starts proc(param) on a detached thread. Returns null when the thread
// could not be created.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, void* param, int priority = 0,
                           UINT stackSize = 0, DWORD createFlags = 0,
                           void* securityAttributes = nullptr);
// Test seam: makes the next AfxBeginThread fail, as when the system has no
// thread left, so that tests can check the callers' recovery.
void FailNextThreadStartForTesting();

constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;

class CFileDialog {
 public:
  CFileDialog(BOOL openFileDialog, LPCWSTR defaultExtension = nullptr,
              LPCWSTR fileName = nullptr, DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
              LPCWSTR filter = nullptr, CWnd* parent = nullptr);
  // Runs the dialog; callable from any thread like AfxMessageBox.
  std::intptr_t DoModal();
  CString GetPathName() const { return m_strPathName; }
  // The chosen file's name and extension, without its folder.
  CString GetFileName() const;

  BOOL m_bOpenFileDialog;
  CString m_strDefaultExtension;
  CString m_strInitialName;
  DWORD m_dwFlags;
  CString m_strFilter;  // "Description|pattern|...||"
  CString m_strTitle;   // empty: "Save As"
  CString m_strPathName;
};

// The system's folder chooser. DoModal returns IDOK with the chosen folder's
// path in m_strPathName, or IDCANCEL.
class CFolderDialog {
 public:
  CFolderDialog(LPCWSTR title, LPCWSTR prompt, LPCWSTR initialFolder = nullptr, CWnd* parent = nullptr);
  // Runs the dialog; callable from any thread like AfxMessageBox.
  std::intptr_t DoModal();
  CString GetPathName() const { return m_strPathName; }

  CString m_strTitle;          // the window's caption
  CString m_strPrompt;         // a short label of what to choose, where the system's chooser has one
  CString m_strInitialFolder;  // empty: the system's own start
  CString m_strPathName;
};
