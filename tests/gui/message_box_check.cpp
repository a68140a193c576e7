// A worker thread's message box shows on the UI thread and hands the
// worker the user's answer: the driving script presses Return in the box,
// and the program exits 0 once the worker has reported IDOK. Arguments
// "information", "exclamation" or "error" and a text choose the box's icon
// and text, for screenshots of each kind; "question" asks Yes or No with No
// as the default, and Return must answer No.
#include "framework/afx.h"
#include "tests/gui/check_dialog.h"
#include "tests/gui/preview_support.h"

#include "platform/system.h"

namespace {
UINT g_icon = MB_ICONINFORMATION;
bool g_question = false;
std::wstring g_text = L"A message box for a worker thread";

UINT IconNamed(const std::wstring& name) {
  if (name == L"exclamation") return MB_ICONEXCLAMATION;
  if (name == L"error") return MB_ICONERROR;
  if (name == L"question") return MB_ICONEXCLAMATION | MB_YESNO | MB_DEFBUTTON2;
  return MB_ICONINFORMATION;
}

UINT AskFromWorker(void* param) {
  const HWND dialog = static_cast<HWND>(param);
  const int answer = AfxMessageBox(g_text.c_str(), g_icon);
  PostMessageW(dialog, gui_check::WM_DONE, static_cast<WPARAM>(answer), 0);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  // On Windows the narrow argv is not UTF-8: the text comes from the wide
  // command line there.
  const std::vector<std::wstring> arguments = ProgramArguments(argc, argv);
  if (arguments.size() >= 2) {
    g_icon = IconNamed(arguments[0]);
    g_question = arguments[0] == L"question";
    g_text = arguments[1];
    argc = 1;
  }
  gui_check::RegisterCheckTemplate();
  int result = 1;
  const int started = RunDialogPreview(argc, argv, [&] {
    gui_check::CCheckDialog dialog([](gui_check::CCheckDialog& d) {
      AfxBeginThread(&AskFromWorker, d.GetSafeHwnd());
      return false;
    });
    dialog.m_onDone = [&](WPARAM answer) {
      result = answer == static_cast<WPARAM>(g_question ? IDNO : IDOK) ? 0 : 3;
      dialog.EndDialog(IDOK);
    };
    dialog.DoModal();
  });
  return started != 0 ? started : result;
}
