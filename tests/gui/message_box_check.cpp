// A worker thread's message box shows on the UI thread and hands the
// worker the user's answer: the driving script presses Return in the box,
// and the program exits 0 once the worker has reported IDOK.
#include "framework/afx.h"
#include "framework/wx/wx_backend.h"
#include "tests/gui/check_dialog.h"

namespace {
UINT AskFromWorker(void* param) {
  const HWND dialog = static_cast<HWND>(param);
  const int answer = AfxMessageBox(L"A message box for a worker thread", MB_ICONINFORMATION);
  PostMessageW(dialog, gui_check::WM_DONE, static_cast<WPARAM>(answer), 0);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  gui_check::RegisterCheckTemplate();
  int result = 1;
  const int started = afx::RunWithWx(argc, argv, [&] {
    gui_check::CCheckDialog dialog([](gui_check::CCheckDialog& d) {
      AfxBeginThread(&AskFromWorker, d.GetSafeHwnd());
      return false;
    });
    dialog.m_onDone = [&](WPARAM answer) {
      result = answer == IDOK ? 0 : 3;
      dialog.EndDialog(IDOK);
    };
    dialog.DoModal();
  });
  return started != 0 ? started : result;
}
