// The interface between the framework and a window system. The framework
// keeps every window's state; a backend shows it (wx) or serves it to an
// automation script (headless) and reports the user's input back.
#pragma once

#include "framework/cstring.h"
#include "framework/window.h"

class CDialog;
class CFileDialog;
class CFolderDialog;

namespace afx {

class Backend {
 public:
  virtual ~Backend() = default;
  // A dialog's window and controls exist in the registry; make them real.
  virtual void CreateDialogWindow(CDialog& dialog) = 0;
  // Runs the dialog's modal loop on the UI thread until EndModalLoop.
  virtual void RunModalLoop(CDialog& dialog) = 0;
  virtual void EndModalLoop(CDialog& dialog) = 0;
  virtual void DestroyDialogWindow(CDialog& dialog) = 0;
  // A window's state changed by program code.
  virtual void StateChanged(WindowState& state, Change what) = 0;
  // Modal boxes, on the UI thread. MessageBox returns IDOK; the save and
  // folder dialogs return IDOK with the chosen path stored in the dialog, or
  // IDCANCEL.
  virtual int MessageBox(const CString& text, UINT flags) = 0;
  virtual int SaveFileDialog(CFileDialog& dialog) = 0;
  virtual int FolderDialog(CFolderDialog& dialog) = 0;
  // The main window has ended; its last status text, for the automation log.
  virtual void ReportStatusLog(const CString& text) = 0;
};

void SetBackend(Backend* backend);
Backend* GetBackend();

// Input from the window system: the user typed into an edit, toggled a
// button, or pressed one. They update the state without echoing it back.
void UserSetsText(HWND control, const std::wstring& text);
void UserSetsCheck(HWND control, int check);
// Presses a button as a click would: auto check boxes toggle, auto radio
// buttons take the check from their group, then the dialog gets WM_COMMAND.
// A disabled or hidden control ignores it.
void UserClicks(HWND control);

}  // namespace afx
