// The wx backend: dialogs from templates, their modal loops, and the modal
// boxes (message box, save and folder dialogs).
#pragma once

#include <vector>

#include <wx/window.h>

#include "framework/backend.h"
#include "framework/dialog.h"

namespace afx {

class WxBackend : public Backend {
 public:
  void CreateDialogWindow(CDialog& dialog) override;
  void RunModalLoop(CDialog& dialog) override;
  void EndModalLoop(CDialog& dialog) override;
  void DestroyDialogWindow(CDialog& dialog) override;
  void StateChanged(WindowState& state, Change what) override;
  int MessageBox(const CString& text, UINT flags) override;
  int SaveFileDialog(CFileDialog& dialog) override;
  int FolderDialog(CFolderDialog& dialog) override;
  void ReportStatusLog(const CString&) override {}

 private:
  // Wraps a modal box that is not a dialog of ours: wx can only end the
  // innermost modal loop, so a dialog asked to end meanwhile ends after it.
  template <class Run>
  int RunBox(Run run);
  // Ends the innermost loop if its dialog was asked to end while a loop
  // above it ran.
  void EndWaitingLoop();
  // The native parent for a box: the innermost dialog, if any.
  static wxWindow* BoxParent();

  std::vector<CDialog*> m_loops;  // running modal loops, innermost last; null for a box
};

WxBackend& TheWxBackend();

}  // namespace afx
