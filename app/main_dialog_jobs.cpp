#include "app/main_dialog.h"

LRESULT CHalyardDlg::OnStatusChanged(WPARAM, LPARAM) { return 0; }
LRESULT CHalyardDlg::OnFileProgress(WPARAM, LPARAM) { return 0; }
LRESULT CHalyardDlg::OnLaunchClient(WPARAM, LPARAM) { return 0; }
