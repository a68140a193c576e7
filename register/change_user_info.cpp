#include "register/change_user_info.h"

#include <vector>

#include "core/catalogue.h"
#include "net/http_session.h"
#include "net/proxy.h"
#include "query/update_query.h"
#include "register/agree_dialog.h"
#include "register/reg_dialog.h"

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
  switch (SendUpdateQuery(session, serial, password, updateNews, false)) {
    case QueryResult::kAnswered:
      break;
    case QueryResult::kNoConnection:
    case QueryResult::kTooLong:  // no reply limit here: only a reply without memory
      AfxMessageBox(GetMsg(41));
      return;
    case QueryResult::kTooShort:
      AfxMessageBox(GetMsg(42));
      return;
  }
  // The registration reuses the session, and with it the reply buffer.
  const std::vector<unsigned char> answer(session.m_pResponse,
                                          session.m_pResponse + session.m_nResponseSize);
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
