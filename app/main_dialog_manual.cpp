#include "app/main_dialog.h"
#include "app/status_channel.h"

void CHalyardDlg::OnDownloadManual() { StartJob(ManualThreadProc, false); }
