#include "core/catalogue.h"
#include "app/main_dialog.h"
#include "register/change_user_info.h"

// "Change user info": needs the card's credentials, then runs the
// registration flow, which reports every outcome itself.
void CHalyardDlg::OnChangeUserInfo() {
  UpdateData(TRUE);
  if (m_strSerial.IsEmpty() || m_strPassword.IsEmpty()) {
    AfxMessageBox(GetMsg(39));
    return;
  }
  for (int id : {1008, 1009, 1045, 1046})
    if (CWnd* control = GetDlgItem(id)) control->ShowWindow(SW_HIDE);
  UpdateData(TRUE);
  RunChangeUserInfo(m_strSerial, m_strPassword, m_bUpdateNews != FALSE, [this] {
    m_strStatus = GetMsg(40);
    UpdateData(FALSE);
  });
}
