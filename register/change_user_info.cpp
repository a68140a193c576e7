#include "register/change_user_info.h"

#include <vector>

#include "core/catalogue.h"
#include "core/product.h"
#include "net/http_session.h"
#include "net/proxy.h"
#include "register/agree_dialog.h"
#include "register/reg_dialog.h"
#include "update/update_query.h"

namespace {
// The registration form on the session that has just had the card accepted.
void RunRegistration(CHttpSession& session) {
  std::int32_t result = kRegistrationDone;
  CRegDialog form;
  form.m_pSession = &session;
  form.m_pResult = &result;
  if (form.DoModal() != IDOK) return;
  if (result != kRegistrationDone)
    AfxMessageBox(GetMsg(44), MB_ICONEXCLAMATION);
  else
    AfxMessageBox(GetMsg(46), MB_ICONINFORMATION);
}
}  // namespace

void RunChangeUserInfo(const CString& serial, const CString& password, bool updateNews,
                       const std::function<void()>& showConnecting) {
  {
    CAgreeDialog consent;
    if (consent.DoModal() != IDOK) {
      AfxMessageBox(GetMsg(45), MB_ICONEXCLAMATION);
      return;
    }
  }
  showConnecting();

  CHttpSession session;
  CString proxy;
  if (GetSystemProxy(proxy)) session.SetProxy(proxy);
  session.SetUrl(ServerScriptUrl(ServerScript::kUpdate));
  session.AddPostField(BuildUpdateQuery(serial, password, updateNews, false));
  if (session.Perform() != HttpResult::kOk) {
    AfxMessageBox(GetMsg(41));
    return;
  }
  if (session.Body().size() < 2) {
    AfxMessageBox(GetMsg(42));
    return;
  }
  // The registration reuses the session, and with it the reply buffer.
  const std::vector<unsigned char> answer(session.Body().begin(), session.Body().end());
  switch (answer[0]) {
    case 'C': {
      const auto size = static_cast<std::uint32_t>(answer.size());
      AfxMessageBox(GetMsg(IsClientUpdateAnswer(answer.data(), size) ? 70 : 42));
      break;
    }
    case 'I':
      AfxMessageBox(GetMsg(49));
      break;
    case 'L':
    case 'U':
      RunRegistration(session);
      break;
    default:
      AfxMessageBox(GetMsg(42), MB_ICONEXCLAMATION);
      break;
  }
}
