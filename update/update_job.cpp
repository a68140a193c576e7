// RunUpdateJob: the update worker. Logs the card in with the update query and
// turns the answer into its outcome: a new client, a message, or the
// download pass over the accepted file list.
#include "update/update_job.h"

#include <span>
#include <vector>

#include "core/catalogue.h"
#include "core/update_result.h"
#include "net/http_session.h"
#include "net/proxy.h"
#include "platform/card_root.h"
#include "query/update_query.h"
#include "update/client_update.h"
#include "update/download_pass.h"
#include "update/update_list.h"

namespace {
// Checks the "L" answer and, when it is a usable list, runs the pass.
UpdateResult RunListAnswer(JOBPARAM* job, CJobReporter& reporter, CHttpSession& session,
                           const CardProbe& card) {
  std::vector<UpdateFileEntry> list;
  const std::span<const unsigned char> body = session.Body();
  switch (ConvertUpdateList(body.data(), static_cast<std::uint32_t>(body.size()), list)) {
    case ListResult::kOk:
      break;
    case ListResult::kBadLength: {
      CString text;
      text.Format(L"%s (#2)", GetMsg(42));
      reporter.ShowMessageBox(text, MB_ICONEXCLAMATION);
      return kUpdateNoLogin;
    }
    case ListResult::kNoMemory:
      reporter.ShowMessageBox(L"Internal Error #1", MB_OK);
      return kUpdateTransferFailed;
    case ListResult::kTooShort:
    case ListResult::kUnsafeName:  // a name that would leave the card
      reporter.ShowMessage(42, MB_ICONEXCLAMATION);
      return kUpdateNoLogin;
  }
  reporter.SetCountTotal(static_cast<std::int32_t>(list.size()));
  session.ResetResponse();
  return RunDownloadPass(job, reporter, session, list, card.caseInsensitive);
}
}  // namespace

int RunUpdateJob(JOBPARAM* job, CJobReporter& reporter) {
  // The first session carries the query and the pass; the second only the
  // download of a new client.
  CHttpSession session;
  CHttpSession clientSession;
  if (job->strSerial.IsEmpty() || job->strPassword.IsEmpty()) {
    reporter.ShowMessage(39);
    return kUpdateNoLogin;
  }
  // A write-protected card is found out before anything is fetched or sent.
  const CardProbe card = ProbeCardRoot();
  if (card.access == CardAccess::kReadOnly) {
    reporter.ShowMessage(84, MB_ICONEXCLAMATION);
    return kUpdateTransferFailed;
  }
  reporter.ShowProgress(ProgressPart::kGroup, false);
  reporter.SetCountUnit(GetMsg(71));
  reporter.SetCountDone(0);
  reporter.SetStatus(GetMsg(40));
  reporter.PostStatus(L"");

  CString proxy;
  if (GetSystemProxy(proxy)) {
    session.SetProxy(proxy);
    clientSession.SetProxy(proxy);
  }
  session.SetReplyLimit(kMaxListReply);
  switch (SendUpdateQuery(session, job->strSerial, job->strPassword, job->bUpdateNews != FALSE,
                          job->bBatch != FALSE)) {
    case QueryResult::kAnswered:
      break;
    case QueryResult::kNoConnection:
      reporter.PostStatus(GetMsg(61));
      reporter.ShowMessage(41);
      return kUpdateNoLogin;
    case QueryResult::kTooLong:  // longer than any list can be: no answer of ours
      reporter.PostStatus(GetMsg(61));
      reporter.ShowMessage(42, MB_ICONEXCLAMATION);
      return kUpdateNoLogin;
    case QueryResult::kTooShort:
      reporter.PostStatus(GetMsg(61));
      reporter.ShowMessage(42);
      return kUpdateNoLogin;
  }
  reporter.PostStatus(GetMsg(60));

  const unsigned char* answer = session.Body().data();
  const auto answerSize = static_cast<std::uint32_t>(session.Body().size());
  switch (answer[0]) {
    case 'C':
      if (!IsClientUpdateAnswer(answer, answerSize)) {
        reporter.ShowMessage(42);
        return kUpdateNoLogin;
      }
      return DownloadNewClient(*job, reporter, clientSession, answer, answerSize);
    case 'I':
      reporter.ShowMessage(49);
      return kUpdateNoLogin;
    case 'L':
      return RunListAnswer(job, reporter, session, card);
    default:
      reporter.PostStatus(GetMsg(61));
      reporter.ShowMessage(42, MB_ICONEXCLAMATION);
      return kUpdateNoLogin;
  }
}
