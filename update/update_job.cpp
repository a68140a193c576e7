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
#include "net/retry.h"
#include "platform/card_root.h"
#include "platform/files.h"
#include "platform/text.h"
#include "query/query_failure.h"
#include "query/update_query.h"
#include "update/client_update.h"
#include "update/download_pass.h"
#include "update/update_list.h"

namespace {
// Checks the "L" answer and, when it is a usable list, runs the pass.
UpdateResult RunListAnswer(JOBPARAM* job, CJobReporter& reporter, CHttpSession& session, CUpdateListSink& answer,
                           std::vector<UpdateFileEntry>& list, const CardProbe& card) {
  switch (answer.Finish()) {
    case ListResult::kOk:
      break;
    case ListResult::kBadLength: {
      CString text;
      text.Format(L"%s (#2)", GetMsg(Msg::kInvalidResponse));
      reporter.ShowMessageBox(text, MB_ICONEXCLAMATION);
      return kUpdateNoLogin;
    }
    case ListResult::kNoMemory:
      reporter.ShowMessageBox(L"Internal Error #1", MB_OK);
      return kUpdateTransferFailed;
    case ListResult::kTooShort:
    case ListResult::kUnsafeName:  // a name that would leave the card
      reporter.ShowMessage(Msg::kInvalidResponse, MB_ICONEXCLAMATION);
      return kUpdateNoLogin;
  }
  reporter.SetCountTotal(static_cast<std::int32_t>(list.size()));
  return RunDownloadPass(job, reporter, session, list, card.caseInsensitive);
}
}  // namespace

int RunUpdateJob(JOBPARAM* job, CJobReporter& reporter) {
  // The first session carries the query and the pass; the second only the
  // download of a new client.
  CHttpSession session;
  CHttpSession clientSession;
  // A job that ends before it connects has a status log of its own: the
  // line its box leaves.
  if (job->strSerial.IsEmpty() || job->strPassword.IsEmpty()) {
    reporter.SetStatus(L"");
    reporter.ShowMessage(Msg::kNeedCredentials);
    return kUpdateNoLogin;
  }
  // A card that cannot be written is found out before anything is fetched
  // or sent. Only a write-protected one is a matter of its lock switch.
  const CardProbe card = ProbeCardRoot();
  if (card.access == CardAccess::kReadOnly || card.access == CardAccess::kNoPermission) {
    reporter.SetStatus(L"");
    if (card.access == CardAccess::kReadOnly)
      reporter.ShowMessage(Msg::kCardWriteProtected, MB_ICONEXCLAMATION);
    else
      reporter.ShowTextMessage(Msg::kCardFolderNotWritable, WideFromUtf8(SystemErrorText(card.error)),
                               MB_ICONEXCLAMATION);
    return kUpdateTransferFailed;
  }
  reporter.ShowProgress(ProgressPart::kGroup, false);
  reporter.SetCountUnit(GetMsg(Msg::kFiles));
  reporter.SetCountDone(0);
  reporter.SetStatus(GetMsg(Msg::kConnecting));
  reporter.PostStatus(L"");

  CString proxy;
  if (GetSystemProxy(proxy)) {
    session.SetProxy(proxy);
    clientSession.SetProxy(proxy);
  }
  // One policy for the whole run, so that its waits stay bounded together.
  CRetryPolicy retry(&reporter);
  session.SetRetryPolicy(&retry);
  session.SetReplyLimit(kMaxListReply);
  std::vector<UpdateFileEntry> list;
  CUpdateListSink answerSink(list);
  const QueryResult sent = SendUpdateQuery(session, job->strSerial, job->strPassword,
                                           job->bUpdateNews != FALSE, job->bBatch != FALSE, &answerSink);
  if (!CheckQueryAnswered(sent, session, reporter, QueryFailureShown::kFailedStep))
    return sent == QueryResult::kStopped ? kUpdateNotFinished : kUpdateNoLogin;
  reporter.PostStatus(GetMsg(Msg::kStepOk));

  const std::span<const unsigned char> answer = answerSink.Kept();
  const UpdateAnswer kind = ReadUpdateAnswer(answer);
  switch (kind) {
    case UpdateAnswer::kClientUpdate:
      return DownloadNewClient(*job, reporter, clientSession, answer.data(),
                               static_cast<std::uint32_t>(answer.size()));
    case UpdateAnswer::kFileList:
      return RunListAnswer(job, reporter, session, answerSink, list, card);
    default:  // a refused login, an owner not registered yet, no usable answer
      TellUnusableAnswer(kind, reporter, QueryFailureShown::kFailedStep);
      return kUpdateNoLogin;
  }
}
