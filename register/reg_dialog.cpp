#include "register/reg_dialog.h"

#include <cstring>

#include "core/catalogue.h"
#include "core/product.h"
#include "net/http_session.h"
#include "net/retry.h"
#include "platform/text.h"
#include "register/registration_fields.h"
#include "res/resource.h"

namespace {
// Longest texts of the fields, in characters.
constexpr int kNameChars = 32;
constexpr int kPhoneChars = 20;
constexpr int kEmailChars = 255;
// The UTF-8 form of the longest field with its terminator, at 4 bytes per
// character (a wide character here may be any code point).
constexpr int kFieldBytes = kEmailChars * 4 + 1;

constexpr char kDoneReply[] = " Done";
constexpr std::uint32_t kDoneLength = sizeof kDoneReply - 1;
}  // namespace

CRegDialog::CRegDialog(CWnd* pParent) : CDialog(IDD_REGISTRATION, pParent) {}

void CRegDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_REG_NAME, m_strName);
  DDV_MaxChars(pDX, m_strName, kNameChars);
  DDX_Text(pDX, IDC_REG_COMPANY, m_strCompany);
  DDV_MaxChars(pDX, m_strCompany, kNameChars);
  DDX_Text(pDX, IDC_REG_ADDRESS1, m_strAddress1);
  DDV_MaxChars(pDX, m_strAddress1, kNameChars);
  DDX_Text(pDX, IDC_REG_ADDRESS2, m_strAddress2);
  DDV_MaxChars(pDX, m_strAddress2, kNameChars);
  DDX_Text(pDX, IDC_REG_PHONE, m_strPhone);
  DDV_MaxChars(pDX, m_strPhone, kPhoneChars);
  DDX_Text(pDX, IDC_REG_FAX, m_strFax);
  DDV_MaxChars(pDX, m_strFax, kPhoneChars);
  DDX_Text(pDX, IDC_REG_EMAIL, m_strEmail);
  DDV_MaxChars(pDX, m_strEmail, kEmailChars);
  DDX_Text(pDX, IDC_REG_ZIP, m_strZip);
  DDV_MaxChars(pDX, m_strZip, kTypedPostalCodeChars);
  DDX_Text(pDX, IDC_REG_DISTRIBUTOR, m_strDistributor);
  DDV_MaxChars(pDX, m_strDistributor, kNameChars);
}

BOOL CRegDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(GetMsg(Msg::kRegistrationTitle));
  const CTRLTEXT texts[] = {{IDOK, MsgId(Msg::kRegistrationSend)},
                            {IDCANCEL, MsgId(Msg::kRegistrationCancel)},
                            {IDC_REG_NAME_LABEL, MsgId(Msg::kName)},
                            {IDC_REG_COMPANY_LABEL, MsgId(Msg::kCompany)},
                            {IDC_REG_ADDRESS_LABEL, MsgId(Msg::kAddress)},
                            {IDC_REG_PHONE_LABEL, MsgId(Msg::kPhone)},
                            {IDC_REG_FAX_LABEL, MsgId(Msg::kFax)},
                            {IDC_REG_EMAIL_LABEL, MsgId(Msg::kEmail)},
                            {IDC_REG_DISTRIBUTOR_LABEL, MsgId(Msg::kDistributor)},
                            {IDC_STATIC, MsgId(Msg::kPostalCode)},
                            {0, 0}};
  SetControlTexts(texts, this);
  return TRUE;
}

void CRegDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  // Every field but the postal code is required; the first empty one, in
  // the form's order, takes the focus.
  const struct {
    int id;
    const CString& value;
  } required[] = {{IDC_REG_NAME, m_strName},         {IDC_REG_COMPANY, m_strCompany},
                  {IDC_REG_DISTRIBUTOR, m_strDistributor}, {IDC_REG_ADDRESS1, m_strAddress1},
                  {IDC_REG_ADDRESS2, m_strAddress2}, {IDC_REG_PHONE, m_strPhone},
                  {IDC_REG_FAX, m_strFax},           {IDC_REG_EMAIL, m_strEmail}};
  for (const auto& field : required) {
    if (field.value.IsEmpty()) {
      RefuseField(field.id, Msg::kFillAllFields);
      return;
    }
  }
  if (PostalCodeToSend(m_strZip).GetLength() > kPostalCodeChars) {
    RefuseField(IDC_REG_ZIP, Msg::kPostalCodeTooLong);
    return;
  }
  if (!LooksLikeEmailAddress(m_strEmail)) {
    RefuseField(IDC_REG_EMAIL, Msg::kEmailWithoutAt);
    return;
  }
  if (m_pSession && m_pResult) SendRegistration();
  EndDialog(IDOK);
}

void CRegDialog::RefuseField(int id, Msg message) {
  AfxMessageBox(GetMsg(message));
  GotoDlgCtrl(GetDlgItem(id));
}

void CRegDialog::SendRegistration() {
  m_pSession->SetUrl(ServerScriptUrl(ServerScript::kRegister));
  UpdateData(TRUE);
  m_pSession->ClearPostFields();
  const CString zip = PostalCodeToSend(m_strZip);
  const struct {
    const wchar_t* key;
    const CString& value;
  } fields[] = {{L"name", m_strName},         {L"company", m_strCompany},
                {L"distributor", m_strDistributor}, {L"zip", zip},
                {L"address1", m_strAddress1}, {L"address2", m_strAddress2},
                {L"phone", m_strPhone},       {L"fax", m_strFax},
                {L"email", m_strEmail}};
  for (const auto& field : fields) {
    char utf8[kFieldBytes];
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, field.value, -1, utf8, sizeof utf8, nullptr, nullptr);
    // A value that cannot be converted whole is never sent cut short.
    if (bytes == 0) {
      *m_pResult = kRegistrationNotSent;
      return;
    }
    // The terminator goes with the text: every value ends in 00.
    m_pSession->AddHexPostField(reinterpret_cast<const unsigned char*>(utf8), field.key,
                                static_cast<std::uint32_t>(bytes));
  }
  if (g_langId != kLangJapanese) m_pSession->AddPostField(L"lang=en");

  // Every reply of the script is an answer, a refusal too: only a busy
  // status is tried again.
  if (PerformWithRetry(*m_pSession, [](const CHttpSession& replied) { return replied.Succeeded(); }) !=
      HttpResult::kOk)
    *m_pResult = kRegistrationNotSent;
  else
    *m_pResult = RegistrationReplyCode(m_pSession->Body().data(),
                                       static_cast<std::uint32_t>(m_pSession->Body().size()));
}

std::int32_t RegistrationReplyCode(const unsigned char* reply, std::uint32_t size) {
  if (size != kDoneLength || !reply) return kRegistrationBadLength;
  return std::memcmp(reply, kDoneReply, kDoneLength) == 0 ? kRegistrationDone
                                                          : kRegistrationRefused;
}
