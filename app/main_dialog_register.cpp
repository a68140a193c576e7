#include "app/main_dialog.h"
#include "app/status_channel.h"
#include "core/catalogue.h"
#include "register/change_user_info.h"
#include "res/resource.h"

// "Change user info": needs the card's credentials, then runs the
// registration flow, which reports every outcome itself.
void CHalyardDlg::OnChangeUserInfo() {
  UpdateData(TRUE);
  if (m_strSerial.IsEmpty() || m_strPassword.IsEmpty()) {
    AfxMessageBox(GetMsg(Msg::kNeedCredentials));
    return;
  }
  for (int id : {IDC_COUNT_BAR, IDC_COUNT_TEXT, IDC_FILE_BAR, IDC_FILE_TEXT})
    if (CWnd* control = GetDlgItem(id)) control->ShowWindow(SW_HIDE);
  UpdateData(TRUE);
  CWindowReporter reporter(GetSafeHwnd());
  RunChangeUserInfo(m_strSerial, m_strPassword, m_bUpdateNews != FALSE, reporter);
}
