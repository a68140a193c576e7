// RunUpdateJob: the update worker. Logs the card in with the update query and
// turns the answer into its outcome: a new client, a message, or the
// download pass over the accepted file list.
#include <mutex>
#include <span>
#include <vector>

#include "core/catalogue.h"
#include "core/product.h"
#include "core/update_result.h"
#include "core/status_channel.h"
#include "net/http_session.h"
#include "net/proxy.h"
#include "update/client_update.h"
#include "update/download_pass.h"
#include "update/job_ui.h"
#include "update/update_list.h"
#include "update/update_query.h"

namespace {
constexpr std::uint32_t kMinAnswer = 2;

// Checks the "L" answer and, when it is a usable list, runs the pass.
UpdateResult RunListAnswer(JOBPARAM* job, CHttpSession& session) {
  std::vector<UpdateFileEntry> list;
  const std::span<const unsigned char> body = session.Body();
  switch (ConvertUpdateList(body.data(), static_cast<std::uint32_t>(body.size()), list)) {
    case ListResult::kOk:
      break;
    case ListResult::kBadLength: {
      CString text;
      text.Format(L"%s (#2)", GetMsg(42));
      AfxMessageBox(text, MB_ICONEXCLAMATION);
      return kUpdateNoLogin;
    }
    case ListResult::kNoMemory:
      AfxMessageBox(L"Internal Error #1");
      return kUpdateTransferFailed;
    case ListResult::kTooShort:
    case ListResult::kUnsafeName:  // a name that would leave the card
      ShowJobMessage(42, MB_ICONEXCLAMATION);
      return kUpdateNoLogin;
  }
  {
    std::lock_guard<std::mutex> lock(g_statusLock);
    g_nCountTotal = static_cast<std::int32_t>(list.size());
  }
  session.ResetResponse();
  return RunDownloadPass(job, session, list);
}
}  // namespace

int RunUpdateJob(JOBPARAM* job) {
  // The first session carries the query and the pass; the second only the
  // download of a new client.
  CHttpSession session;
  CHttpSession clientSession;
  if (job->strSerial.IsEmpty() || job->strPassword.IsEmpty()) {
    ShowJobMessage(39);
    return kUpdateNoLogin;
  }
  ShowProgressGroup(job->hWnd, SW_HIDE);
  {
    std::lock_guard<std::mutex> lock(g_statusLock);
    g_strCountUnit = GetMsg(71);
    g_nCountDone = 0;
    g_strStatusLog = GetMsg(40);
  }
  PostStatus(job, L"");

  CString proxy;
  if (GetSystemProxy(proxy)) {
    session.SetProxy(proxy);
    clientSession.SetProxy(proxy);
  }
  session.SetReplyLimit(kMaxListReply);
  session.ClearPostFields();
  session.SetUrl(ServerScriptUrl(ServerScript::kUpdate));
  session.AddPostField(BuildUpdateQuery(job->strSerial, job->strPassword, job->bUpdateNews != FALSE,
                                        job->bBatch != FALSE));
  const HttpResult result = session.Perform();
  // Longer than any list can be (or than memory holds): no answer of ours.
  const bool oversized = result == HttpResult::kTooLarge || result == HttpResult::kNoMemory;
  if (result != HttpResult::kOk && !oversized) {
    PostStatus(job, GetMsg(61));
    ShowJobMessage(41);
    return kUpdateNoLogin;
  }
  if (oversized) {
    PostStatus(job, GetMsg(61));
    ShowJobMessage(42, MB_ICONEXCLAMATION);
    return kUpdateNoLogin;
  }
  const std::span<const unsigned char> reply = session.Body();
  const auto replySize = static_cast<std::uint32_t>(reply.size());
  if (replySize < kMinAnswer) {
    PostStatus(job, GetMsg(61));
    ShowJobMessage(42);
    return kUpdateNoLogin;
  }
  PostStatus(job, GetMsg(60));

  const unsigned char* answer = reply.data();
  switch (answer[0]) {
    case 'C':
      if (!IsClientUpdateAnswer(answer, replySize)) {
        ShowJobMessage(42);
        return kUpdateNoLogin;
      }
      return DownloadNewClient(job, clientSession, answer, replySize);
    case 'I':
      ShowJobMessage(49);
      return kUpdateNoLogin;
    case 'L':
      return RunListAnswer(job, session);
    default:
      PostStatus(job, GetMsg(61));
      ShowJobMessage(42, MB_ICONEXCLAMATION);
      return kUpdateNoLogin;
  }
}
