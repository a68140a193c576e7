#include "app/main_dialog.h"
#include "core/status_channel.h"

void CHalyardDlg::OnDownloadManual() { StartJob(ManualThreadProc, false); }
