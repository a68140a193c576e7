#include "app/main_dialog.h"

void CHalyardDlg::OnChangeUserInfo() {}
