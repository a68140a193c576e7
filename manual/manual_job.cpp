#include "manual/manual_job.h"

#include <string>

#include "core/catalogue.h"
#include "core/product.h"
#include "manual/manual_download.h"
#include "net/http_session.h"
#include "net/proxy.h"
#include "net/retry.h"
#include "query/query_failure.h"
#include "query/update_query.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/text.h"

namespace {

constexpr char kPdfPrefix[] = "PDF AT: http://";
constexpr size_t kPdfPrefixLength = sizeof kPdfPrefix - 1;
constexpr size_t kAddressOffset = 8;  // "http://" starts after "PDF AT: "
constexpr size_t kNameUnits = 99;     // the name buffer's 100 units, terminator included

// The address must fit the session's URL buffer as one zero-terminated text.
bool IsUsableAddress(const std::string& reply) {
  const size_t length = reply.size() - kAddressOffset;
  return length <= CHttpSession::kMaxUrlBytes && reply.find('\0', kAddressOffset) == std::string::npos;
}

// The login on the manual script; true when its answer is the manual's
// address, which reply then holds.
bool AskForManualAddress(CHttpSession& query, const JOBPARAM& job, CJobReporter& reporter,
                         std::string& reply) {
  const QueryResult sent =
      SendQuery(query, ServerScript::kManual, BuildLoginForm(job.strSerial, job.strPassword),
                [](std::span<const unsigned char> body) {
                  return std::string_view(reinterpret_cast<const char*>(body.data()), body.size())
                             .starts_with(kPdfPrefix);
                });
  if (!CheckQueryAnswered(sent, query, reporter, QueryFailureShown::kFailedStep)) return false;
  reporter.PostStatus(GetMsg(Msg::kStepOk));
  reply = query.BodyText();
  reporter.SetCountUnit(GetMsg(Msg::kKilobytes));
  if (reply.compare(0, kPdfPrefixLength, kPdfPrefix) != 0 || !IsUsableAddress(reply)) {
    reporter.ShowMessage(Msg::kInvalidResponse);
    return false;
  }
  return true;
}

// The PDF from address into manual, with its kilobytes on the count line;
// false, with the user told why unless the window is closing, when it did
// not arrive whole.
bool DownloadManual(CHttpSession& download, const char* address, CManualDownload& manual,
                    CJobReporter& reporter) {
  download.SetProgressCallback(&CountProgressCallback, &reporter);
  download.SetReplyLimit(kManualReplyLimit);
  reporter.ShowProgress(ProgressPart::kCountLine, true);
  download.SetUrlA(address);
  // The body goes to a temporary file as it arrives; one that cannot be
  // kept there (no temporary file, a full disk) ends the transfer.
  // Each try starts the temporary file afresh.
  HttpResult result = HttpResult::kSinkFailed;
  const bool waited = RunTries(download, [&] {
    if (!manual.Open()) {
      result = HttpResult::kSinkFailed;
      return TryOutcome::kDone;
    }
    download.SetBodySink(&manual);
    result = download.Perform();
    download.SetBodySink(nullptr);
    return JudgeTry(result, download, download.Succeeded());
  });
  if (!waited) result = HttpResult::kCancelled;
  if (result == HttpResult::kOk && !manual.Finish()) result = HttpResult::kSinkFailed;
  if (result == HttpResult::kCancelled) {  // the window closes: no box to answer
    reporter.PostStatus(reporter.StopLine());
    return false;
  }
  if (result == HttpResult::kSinkFailed) {
    reporter.Fail(Msg::kMemoryError);
    return false;
  }
  // An error page is not the manual.
  if (result != HttpResult::kOk || !download.Succeeded()) {
    reporter.Fail(Msg::kErrorDownloading, MB_OK, download.LastFailureCause());
    return false;
  }
  return true;
}

// Lets the user choose where the manual goes, saves it there and opens it.
void SaveAndOpenManual(CManualDownload& manual, const CString& suggestedName, CJobReporter& reporter) {
  CString path, fileName;
  if (!reporter.ChooseSaveFile(suggestedName, kManualFileFilter, path, fileName)) return;
  if (!manual.SaveTo(path)) {
    reporter.AppendStatus(GetMsg(Msg::kStepError));
    reporter.PostStatus(GetMsg(Msg::kManualFailed));
    reporter.ShowMessage(Msg::kCannotSaveFile);
    return;
  }
  reporter.AppendStatus(GetMsg(Msg::kStepOk));
  reporter.PostStatus(GetMsg(Msg::kManualSaved) + fileName);
  if (!ShellSucceeded(ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOWNORMAL)))
    reporter.ShowTextMessage(Msg::kManualNotShown, WideFromUtf8(NativePath(path)), MB_ICONINFORMATION);
}

}  // namespace

CString SuggestedManualName(const std::string& reply) {
  size_t start = 0;
  for (size_t i = reply.size() >= 4 ? reply.size() - 4 + 1 : 0; i-- > 0;) {
    if (reply[i] == '/') {
      start = i + 1;
      break;
    }
  }
  const std::wstring name = WideFromUtf8(std::string_view(reply).substr(start));
  // Cut at a character boundary: a surrogate pair (16-bit wchar_t) stays whole.
  size_t end = 0;
  size_t units = 0;
  while (end < name.size()) {
    const bool pair = end + 1 < name.size() && name[end] >= 0xD800 && name[end] <= 0xDBFF;
    const std::wstring_view character(name.data() + end, pair ? 2 : 1);
    units += Utf16Length(character);
    if (units > kNameUnits) break;
    end += character.size();
  }
  return CString(name.substr(0, end));
}

int RunManualJob(JOBPARAM* job, CJobReporter& reporter) {
  CHttpSession query;
  CHttpSession download;
  if (job->strSerial.IsEmpty() || job->strPassword.IsEmpty()) {
    reporter.SetStatus(L"");  // the log is the line of the box
    reporter.ShowMessage(Msg::kNeedCredentials);
    return 0;
  }
  reporter.SetCountDone(0);
  reporter.SetStatus(GetMsg(Msg::kConnecting));
  reporter.PostStatus(L"");

  CString proxy;
  if (GetSystemProxy(proxy)) query.SetProxy(proxy);
  CRetryPolicy retry(&reporter);
  query.SetRetryPolicy(&retry);
  download.SetRetryPolicy(&retry);
  std::string reply;
  if (!AskForManualAddress(query, *job, reporter, reply)) return 0;
  // The window shows the notes in the order they were made, so the
  // transfer's count line comes after this line of the log.
  reporter.PostStatus(GetMsg(Msg::kDownloadingManual));
  const CString suggestedName = SuggestedManualName(reply);
  // The manual's address may be on another server, whose proxy is its own.
  CString manualProxy;
  if (GetSystemProxyFor(WideFromUtf8(reply.c_str() + kAddressOffset), manualProxy))
    download.SetProxy(manualProxy);
  CManualDownload manual;
  if (!DownloadManual(download, reply.c_str() + kAddressOffset, manual, reporter)) return 0;
  SaveAndOpenManual(manual, suggestedName, reporter);
  return 0;
}
