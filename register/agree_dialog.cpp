#include "register/agree_dialog.h"

#include <vector>

#include "core/catalogue.h"
#include "core/product.h"
#include "net/http_session.h"
#include "platform/system.h"
#include "register/policy_files.h"
#include "res/resource.h"

namespace {

// The received body when the transfer completed, else empty. Its status is
// not looked at: a site that answers the logo with an error page still
// shows the policy page, which carries the consent.
std::vector<unsigned char> CompleteBody(CHttpSession& session, HttpResult result) {
  if (result != HttpResult::kOk) return {};
  return {session.Body().begin(), session.Body().end()};
}
}  // namespace

BEGIN_MESSAGE_MAP(CAgreeDialog, CDialog)
  ON_COMMAND(IDC_POLICY_VIEW, OnViewPrivacyPolicy)
END_MESSAGE_MAP()

CAgreeDialog::CAgreeDialog(CWnd* pParent) : CDialog(IDD_PRIVACY_POLICY, pParent) {}

CString PolicyPageUrl(LANGID language) {
  return PolicyBaseUrl() +
         (language == kLangJapanese ? L"/priv-policy/usr-reg/jp/" : L"/priv-policy/usr-reg/en/");
}

BOOL CAgreeDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(GetMsg(Msg::kPolicyTitle));
  if (CWnd* text = GetDlgItem(IDC_POLICY_INSTRUCTIONS)) {
    text->SendMessage(EM_SETREADONLY, TRUE, 0);
    text->SetWindowText(GetMsg(Msg::kPolicyInstructions));
  }
  if (CWnd* accept = GetDlgItem(IDOK)) {
    accept->EnableWindow(FALSE);
    accept->SetWindowText(GetMsg(Msg::kAccept));
  }
  if (CWnd* view = GetDlgItem(IDC_POLICY_VIEW)) view->SetWindowText(GetMsg(Msg::kViewPolicy));
  if (CWnd* deny = GetDlgItem(IDCANCEL)) deny->SetWindowText(GetMsg(Msg::kDeny));
  return TRUE;
}

void CAgreeDialog::OnOK() {
  // Enter reaches here even while Accept is disabled; consent needs a view.
  CWnd* accept = GetDlgItem(IDOK);
  if (!accept || !accept->IsWindowEnabled()) return;
  DeleteFolderTree(g_strPolicyFolder);
  CDialog::OnOK();
}

void CAgreeDialog::OnViewPrivacyPolicy() {
  CHttpSession pageSession;
  CHttpSession logoSession;
  const CString pageUrl = PolicyPageUrl(GetUserDefaultUILanguage());
  const CString logoUrl = pageUrl + kPolicyLogoFolder + L"/" + kPolicyLogoName;

  pageSession.ResetResponse();
  pageSession.SetUrl(pageUrl);
  const HttpResult pageResult = pageSession.Perform();
  logoSession.ResetResponse();
  logoSession.SetUrl(logoUrl);
  const HttpResult logoResult = logoSession.Perform();

  if (pageResult != HttpResult::kOk && logoResult != HttpResult::kOk) {
    AfxMessageBox(GetMsg(Msg::kCannotConnect), MB_ICONERROR);
    return;
  }
  long status = 0;
  if (!pageSession.GetStatusCode(status)) {
    AfxMessageBox(L"Failed to get HTTP status code.", MB_ICONERROR);
    return;
  }
  if (status == 404) {
    AfxMessageBox(GetMsg(Msg::kServerError404), MB_ICONERROR);
    return;
  }
  if (status != 200) {
    CString text;
    text.Format(L"HTTP Status Code: %ld", status);
    AfxMessageBox(text, MB_ICONERROR);
    return;
  }
  // A page cut off in transit is not the policy the user would consent to.
  if (pageResult != HttpResult::kOk) {
    AfxMessageBox(GetMsg(Msg::kPolicyOpenFailed), MB_ICONERROR);
    return;
  }
  // A logo cut off in transit counts as missing, so the page is not shown.
  const std::vector<unsigned char> page(pageSession.Body().begin(), pageSession.Body().end());
  const std::vector<unsigned char> logo = CompleteBody(logoSession, logoResult);
  CString pagePath;
  if (SavePolicyAndOpen(page.data(), logo.data(), page.size(), logo.size(), pagePath))
    if (CWnd* accept = GetDlgItem(IDOK)) accept->EnableWindow(TRUE);
}
