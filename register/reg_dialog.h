// CRegDialog: the form in which the tool's owner enters their contact
// details, sent to register.php on the session that the caller lends it.
// That session has just sent the update query for the card; its cookies
// tell the server which card the details belong to.
#pragma once

#include <cstdint>

#include "core/catalogue.h"
#include "framework/afx.h"
#include "register/registration_result.h"

class CHttpSession;

class CRegDialog : public CDialog {
 public:
  explicit CRegDialog(CWnd* pParent = nullptr);

  CString m_strName;
  CString m_strCompany;
  CString m_strAddress1;
  CString m_strAddress2;
  CString m_strPhone;
  CString m_strFax;
  CString m_strEmail;
  CHttpSession* m_pSession = nullptr;  // lent by the caller
  std::int32_t* m_pResult = nullptr;   // owned by the caller
  CString m_strZip;
  CString m_strDistributor;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void SendRegistration();
  // Tells why the form cannot be sent and puts the focus on the field.
  void RefuseField(int id, Msg message);
};

// The result code of a register.php reply: exactly " Done" is success.
std::int32_t RegistrationReplyCode(const unsigned char* reply, std::uint32_t size);
