// Shows the manual's save dialog on real windows, for screenshots of its
// title in the display language. Cancelling it ends the program with 0.
#include "app/save_dialog.h"
#include "manual/manual_job.h"
#include "tests/gui/preview_support.h"

int main(int argc, char** argv) {
  return RunDialogPreview(argc, argv, [] { JobSaveDialog(L"KORAL70_manual_en.pdf", kManualFileFilter).DoModal(); });
}
