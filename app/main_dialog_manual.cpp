#include "app/main_dialog.h"

void CHalyardDlg::OnDownloadManual() { StartJob(ManualThreadProc, false); }
