// Handlers whose jobs and dialogs are not part of this build yet.
#include "app/main_dialog.h"

void CHalyardDlg::OnStartUpdate() {}
void CHalyardDlg::OnChangeUserInfo() {}
void CHalyardDlg::OnDownloadManual() {}
void CHalyardDlg::OnWiFiSettings() {}
LRESULT CHalyardDlg::OnStatusChanged(WPARAM, LPARAM) { return 0; }
LRESULT CHalyardDlg::OnFileProgress(WPARAM, LPARAM) { return 0; }
LRESULT CHalyardDlg::OnLaunchClient(WPARAM, LPARAM) { return 0; }
