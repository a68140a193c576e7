#include "framework/headless/headless_backend.h"

#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/uiqueue.h"
#include "platform/automation.h"
#include "platform/text.h"

namespace afx {

HeadlessBackend::HeadlessBackend(std::function<bool(std::wstring&)> readLine)
    : m_readLine(std::move(readLine)) {}

void HeadlessBackend::RestartInput() {
  m_endOfInput = false;
  m_pending.clear();
  m_saveAnswer.reset();
  m_folderAnswer.reset();
}

bool HeadlessBackend::NextLine(std::wstring& line) {
  if (!m_pending.empty()) {
    line = m_pending.front();
    m_pending.pop_front();
    return true;
  }
  if (m_endOfInput) return false;
  if (m_readLine && m_readLine(line)) return true;
  m_endOfInput = true;
  return false;
}

void HeadlessBackend::RunModalLoop(CDialog& dialog) {
  while (!dialog.IsEnding()) {
    if (RunOneQueued()) continue;
    if (RunningThreadCount() > 0) {
      WaitForUiWork(std::chrono::milliseconds(20));
      continue;
    }
    std::wstring line;
    if (NextLine(line)) {
      Execute(line);
      continue;
    }
    // A command may have queued work or started a job: idle means after it.
    if (HasQueuedWork() || RunningThreadCount() > 0) continue;
    // End of input, idle: close this dialog as Esc would.
    dialog.SendMessage(WM_COMMAND, IDCANCEL, 0);
    if (!dialog.IsEnding()) dialog.EndDialog(IDCANCEL);
  }
}

bool HeadlessBackend::Execute(const std::wstring& command) {
  std::wstring text = command;
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
  std::wistringstream in(text);
  std::wstring verb;
  in >> verb;
  CDialog* dialog = ActiveDialog();
  if (verb == L"savefile") {
    std::wstring path;
    std::getline(in >> std::ws, path);
    m_saveAnswer = UnescapeAutomationText(path);
    return true;
  }
  if (verb == L"savefile-cancel") {
    m_saveAnswer = std::wstring();
    return true;
  }
  if (verb == L"folder") {
    std::wstring path;
    std::getline(in >> std::ws, path);
    m_folderAnswer = UnescapeAutomationText(path);
    return true;
  }
  if (verb == L"folder-cancel") {
    m_folderAnswer = std::wstring();
    return true;
  }
  if (!dialog) return false;
  if (verb == L"exit") {
    dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
    return true;
  }
  int id = 0;
  if (!(in >> id)) return false;
  HWND control = ::GetDlgItem(dialog->GetSafeHwnd(), id);
  if (verb == L"click") {
    if (control) UserClicks(control);
    return true;
  }
  if (verb == L"set") {
    std::wstring value;
    if (in.peek() == L' ') in.get();
    std::getline(in, value);
    value = UnescapeAutomationText(value);
    // Typing stops at the edit's limit.
    if (WindowState* s = FindWindowState(control)) {
      if (s->textLimit > 0 && value.size() > static_cast<size_t>(s->textLimit))
        value.resize(static_cast<size_t>(s->textLimit));
      if (s->enabled && !s->readOnly) UserSetsText(control, value);
    }
    return true;
  }
  if (verb == L"check") {
    int check = 0;
    in >> check;
    if (WindowState* s = FindWindowState(control); s && s->enabled)
      UserSetsCheck(control, check ? BST_CHECKED : BST_UNCHECKED);
    return true;
  }
  return false;
}

std::wstring MessageBoxLine(const CString& text, UINT flags) {
  const wchar_t* icon = L"none";
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR: icon = L"error"; break;
    case MB_ICONEXCLAMATION: icon = L"exclamation"; break;
    case MB_ICONINFORMATION: icon = L"information"; break;
    default: break;
  }
  return std::wstring(L"MessageBox[") + icon + L"]: " + EscapeAutomationText(text.str());
}

int HeadlessBackend::MessageBox(const CString& text, UINT flags) {
  WriteAutomationLine(MessageBoxLine(text, flags));
  // Answered at once, with its first button.
  return (flags & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

std::wstring HeadlessBackend::TakeAnswer(std::optional<std::wstring>& answer, const wchar_t* verb) {
  std::wstring line;
  while (!answer && NextLine(line)) {
    if (line.rfind(verb, 0) == 0)
      Execute(line);
    else
      m_pending.push_back(line);
  }
  std::wstring taken = answer.value_or(std::wstring());
  answer.reset();
  return taken;
}

int HeadlessBackend::SaveFileDialog(CFileDialog& dialog) {
  const std::wstring path = TakeAnswer(m_saveAnswer, L"savefile");
  if (path.empty()) return IDCANCEL;
  dialog.m_strPathName = path.c_str();
  return IDOK;
}

int HeadlessBackend::FolderDialog(CFolderDialog& dialog) {
  const std::wstring path = TakeAnswer(m_folderAnswer, L"folder");
  if (path.empty()) return IDCANCEL;
  dialog.m_strPathName = path.c_str();
  return IDOK;
}

void HeadlessBackend::ReportStatusLog(const CString& text) {
  WriteAutomationLine(L"StatusLog: " + EscapeAutomationText(text.str()));
}

bool ReadStandardInputLine(std::wstring& line) {
  std::string bytes;
  if (!std::getline(std::cin, bytes)) return false;
  line = WideFromUtf8(bytes);
  return true;
}

void UseHeadlessBackend() {
  static std::unique_ptr<HeadlessBackend> backend;
  backend = std::make_unique<HeadlessBackend>(&ReadStandardInputLine);
  SetBackend(backend.get());
  SetHeadlessShell(true);
}

}  // namespace afx
