#include "query/query_failure.h"

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
