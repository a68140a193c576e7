// In-memory windows driven by an automation script: the contract that tests
// and display-less runs rely on.
//
// Output lines: "MessageBox[<icon>]: <text>" for every message box (answered
// OK at once), "StatusLog: <text>" when the main window ends; shell opens
// are printed by the platform layer.
//
// Input commands, one a line, each run in the active dialog when the UI
// thread is idle (nothing queued and no worker thread running):
//   click <id>, set <id> <text>, check <id> <0|1>, savefile <path>,
//   savefile-cancel, folder <path>, folder-cancel, exit.
// A save dialog that opens with no answer given reads ahead to the next
// savefile command, a folder dialog to the next folder command (commands
// passed over are kept and run later); at the end of input it is cancelled. At the end of input, once idle, the active
// dialog ends as if Esc was pressed, down to the main window.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "framework/backend.h"

namespace afx {

class HeadlessBackend : public Backend {
 public:
  // readLine gives the next command (false at the end of input). It is
  // called on the UI thread while the UI is idle.
  explicit HeadlessBackend(std::function<bool(std::wstring&)> readLine);

  void CreateDialogWindow(CDialog&) override {}
  void RunModalLoop(CDialog& dialog) override;
  void EndModalLoop(CDialog&) override {}
  void DestroyDialogWindow(CDialog&) override {}
  void StateChanged(WindowState&, Change) override {}
  int MessageBox(const CString& text, UINT flags) override;
  int SaveFileDialog(CFileDialog& dialog) override;
  int FolderDialog(CFolderDialog& dialog) override;
  void ReportStatusLog(const CString& text) override;

  // Runs one command in the active dialog; false when it was not understood.
  bool Execute(const std::wstring& command);
  // Reads commands again after the end of input (a test's next script);
  // dialog answers the last script left unused are dropped with it.
  void RestartInput();

 private:
  bool NextLine(std::wstring& line);
  // The answer a dialog takes: answer as given, else read ahead to the next
  // command that starts with verb; empty for a cancel or the end of input.
  std::wstring TakeAnswer(std::optional<std::wstring>& answer, const wchar_t* verb);

  std::function<bool(std::wstring&)> m_readLine;
  std::deque<std::wstring> m_pending;  // commands read ahead by a save dialog
  std::optional<std::wstring> m_saveAnswer;    // empty text: cancel
  std::optional<std::wstring> m_folderAnswer;  // empty text: cancel
  bool m_endOfInput = false;
};

// The automation line of a message box: "MessageBox[<icon>]: <text>".
std::wstring MessageBoxLine(const CString& text, UINT flags);

// Reads commands from standard input (UTF-8).
bool ReadStandardInputLine(std::wstring& line);
// Installs a headless backend reading from standard input and prints shell
// opens instead of launching documents.
void UseHeadlessBackend();

}  // namespace afx
