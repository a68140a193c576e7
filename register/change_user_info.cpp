#include "register/change_user_info.h"

#include "core/catalogue.h"
#include "net/http_session.h"
#include "net/proxy.h"
#include "net/retry.h"
#include "query/query_failure.h"
#include "query/update_query.h"
#include "register/registration_result.h"

namespace {
// The registration form on the session that has just had the card accepted.
void RunRegistration(CHttpSession& session, CJobReporter& reporter) {
  std::int32_t result = kRegistrationDone;
  if (!reporter.RunRegistrationForm(session, result)) return;
  if (result != kRegistrationDone)
    reporter.ShowMessage(Msg::kRegistrationNotSent, MB_ICONEXCLAMATION);
  else
    reporter.ShowMessage(Msg::kCheckEmail, MB_ICONINFORMATION);
}
}  // namespace

void RunChangeUserInfo(const CString& serial, const CString& password, bool updateNews,
                       CJobReporter& reporter) {
  if (!reporter.AskConsent()) {
    reporter.ShowMessage(Msg::kRegistrationIncomplete, MB_ICONEXCLAMATION);
    return;
  }
  reporter.SetStatus(GetMsg(Msg::kConnecting));
  reporter.PostStatus(L"");

  CHttpSession session;
  CString proxy;
  if (GetSystemProxy(proxy)) session.SetProxy(proxy);
  // The registration form goes on this session too, under the same policy.
  // The flow holds the window while it runs, and its status log stays the
  // line it starts with: its waits are silent.
  CRetryPolicy retry(nullptr);
  session.SetRetryPolicy(&retry);
  const QueryResult sent = SendUpdateQuery(session, serial, password, updateNews, false);
  if (!CheckQueryAnswered(sent, session, reporter, QueryFailureShown::kBoxOnly)) return;
  const UpdateAnswer answer = ReadUpdateAnswer(session.Body());
  if (answer == UpdateAnswer::kFileList || answer == UpdateAnswer::kNotRegistered)
    RunRegistration(session, reporter);
  else
    TellUnusableAnswer(answer, reporter, QueryFailureShown::kBoxOnly);
}
