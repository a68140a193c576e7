#include "query/query_failure.h"

#include "core/catalogue.h"

bool CheckQueryAnswered(QueryResult result, const CHttpSession& session, CJobReporter& reporter,
                        QueryFailureShown shown) {
  Msg message = Msg::kInvalidResponse;
  UINT type = MB_OK;
  FailureCause cause;
  switch (result) {
    case QueryResult::kAnswered:
      return true;
    case QueryResult::kStopped:
      reporter.PostStatus(reporter.StopLine());
      return false;
    case QueryResult::kTooLong:
      if (session.HasReplyLimit()) {
        type = MB_ICONEXCLAMATION;
        break;
      }
      [[fallthrough]];  // without a limit only the memory for the reply ran out
    case QueryResult::kNoConnection:
      message = Msg::kCannotConnect;
      cause = session.LastFailureCause();
      break;
    case QueryResult::kTooShort:
      break;
  }
  if (shown == QueryFailureShown::kFailedStep)
    reporter.Fail(message, type, cause);
  else
    reporter.ShowMessage(message, type);
  return false;
}

void TellUnusableAnswer(UpdateAnswer answer, CJobReporter& reporter, QueryFailureShown shown) {
  switch (answer) {
    case UpdateAnswer::kClientUpdate:
      reporter.ShowMessage(Msg::kUpdateClientFirst);
      return;
    case UpdateAnswer::kBadClientUpdate:
      reporter.ShowMessage(Msg::kInvalidResponse);
      return;
    case UpdateAnswer::kIncorrectLogin:
      reporter.ShowMessage(Msg::kIncorrectLogin);
      return;
    case UpdateAnswer::kNotRegistered:
      reporter.ShowTextMessage(Msg::kOwnerNotRegistered, GetMsg(Msg::kChangeUserInfo), MB_ICONEXCLAMATION);
      return;
    case UpdateAnswer::kFileList:  // a list where none is wanted is no answer either
    case UpdateAnswer::kUnknown:
      if (shown == QueryFailureShown::kFailedStep)
        reporter.Fail(Msg::kInvalidResponse, MB_ICONEXCLAMATION);
      else
        reporter.ShowMessage(Msg::kInvalidResponse, MB_ICONEXCLAMATION);
      return;
  }
}
