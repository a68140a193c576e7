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
void RunRegistration(CHttpSession& session, CJobReporter& reporter) {
  std::int32_t result = kRegistrationDone;
  CRegDialog form;
  form.m_pSession = &session;
  form.m_pResult = &result;
  if (form.DoModal() != IDOK) return;
  if (result != kRegistrationDone)
    reporter.ShowMessage(44, MB_ICONEXCLAMATION);
  else
    reporter.ShowMessage(46, MB_ICONINFORMATION);
}
}  // namespace

void RunChangeUserInfo(const CString& serial, const CString& password, bool updateNews,
                       CJobReporter& reporter) {
  {
    CAgreeDialog consent;
    if (consent.DoModal() != IDOK) {
      reporter.ShowMessage(45, MB_ICONEXCLAMATION);
      return;
    }
  }
  reporter.SetStatus(GetMsg(40));
  reporter.PostStatus(L"");

  CHttpSession session;
  CString proxy;
  if (GetSystemProxy(proxy)) session.SetProxy(proxy);
  switch (SendUpdateQuery(session, serial, password, updateNews, false)) {
    case QueryResult::kAnswered:
      break;
    case QueryResult::kNoConnection:
    case QueryResult::kTooLong:  // no reply limit here: only a reply without memory
      reporter.ShowMessage(41);
      return;
    case QueryResult::kTooShort:
      reporter.ShowMessage(42);
      return;
  }
  // The registration reuses the session, and with it the reply buffer.
  const std::vector<unsigned char> answer(session.Body().begin(), session.Body().end());
  switch (answer[0]) {
    case 'C': {
      const auto size = static_cast<std::uint32_t>(answer.size());
      reporter.ShowMessage(IsClientUpdateAnswer(answer.data(), size) ? 70 : 42);
      break;
    }
    case 'I':
      reporter.ShowMessage(49);
      break;
    case 'L':
    case 'U':
      RunRegistration(session, reporter);
      break;
    default:
      reporter.ShowMessage(42, MB_ICONEXCLAMATION);
      break;
  }
}
