#include "update/client_update.h"

#include <cstring>
#include <string>

#include "core/catalogue.h"
#include "platform/files.h"
#include "platform/text.h"
#include "query/update_query.h"
#include "update/card_failure.h"
#include "update/card_file_sink.h"
#include "update/client_files.h"
#include "update/file_size.h"
#include "update/md5.h"
#include "update/md5_worker.h"

namespace {
// Whether the file at path holds exactly size bytes with this digest.
bool FileIs(const char* path, std::uint64_t size, const unsigned char (&digest)[16]) {
  unsigned char own[16];
  return QueryFileSize(path) == static_cast<std::int64_t>(size) && Md5OfFile(path, own) &&
         std::memcmp(own, digest, 16) == 0;
}

// The running program's own file, as a UTF-8 path.
std::string OwnFile(const JOBPARAM& job) { return Utf8FromWide(job.szModulePath); }
}  // namespace

UpdateResult DownloadNewClient(const JOBPARAM& job, CJobReporter& reporter, CHttpSession& session,
                               const unsigned char* answer, std::uint32_t size) {
  // The server's client is the card's. A program that runs from elsewhere
  // (an installed one) is updated by its package manager, and the card's
  // own client asks for its successor when it runs.
  if (job.bProgramOffCard) {
    reporter.ShowMessage(Msg::kClientTooOld, MB_ICONEXCLAMATION);
    return kUpdateNoLogin;
  }
  const char* url = reinterpret_cast<const char*>(answer) + kClientUpdateUrlOffset;
  const std::uint32_t urlBytes = size - kClientUpdateUrlOffset;
  if (urlBytes > CHttpSession::kMaxUrlBytes || std::memchr(url, '\0', urlBytes)) {
    reporter.ShowMessage(Msg::kInvalidResponse);
    return kUpdateNoLogin;
  }
  reporter.PostStatus(GetMsg(Msg::kDownloadingClient));
  session.SetProgressCallback(CountProgressCallback, &reporter);
  session.SetReplyLimit(kMaxClientReply);
  session.SetUrlA(std::string(url, urlBytes).c_str());
  // The body streams into a temporary file that becomes "new_koral70.exe"
  // only when the whole client has arrived.
  CMd5Worker hasher;
  CCardFileSink file(kNewClient, WideFromUtf8(kNewClient), hasher);
  session.SetBodySink(&file);
  const HttpResult result = session.Perform();
  session.SetBodySink(nullptr);
  // An error page is no client: starting it would replace the client with it
  // at the next swap.
  if (result == HttpResult::kCancelled) {  // the window closes: no box to answer
    file.Abort();
    reporter.PostStatus(reporter.StopLine());
    return kUpdateNotFinished;
  }
  if (result != HttpResult::kOk || !session.Succeeded() || file.Size() == 0) {
    file.Abort();
    reporter.Fail(Msg::kErrorDownloading, MB_OK, session.LastFailureCause());
    return kUpdateTransferFailed;
  }
  unsigned char digest[16];
  if (!file.FinalDigest(digest)) {
    file.Abort();
    reporter.Fail(Msg::kMemoryError);
    return kUpdateTransferFailed;
  }
  // After its swap the running program is "koral70.exe"; when the swap
  // failed it still runs from its own file.
  if (job.bSelfUpdated &&
      (FileIs(kRunningClient, file.Size(), digest) || FileIs(OwnFile(job).c_str(), file.Size(), digest))) {
    file.Abort();
    reporter.Fail(Msg::kSameClientOffered, MB_ICONEXCLAMATION);
    return kUpdateNoLogin;
  }
  if (!file.Commit()) {
    reporter.FailWithNumber(Msg::kCannotCreateFile, kNoEntryNumber, CardFailureCause(file.GetError()));
    return kUpdateTransferFailed;
  }
  reporter.PostStatus(GetMsg(Msg::kStepOk));
  reporter.LaunchClient(NewClient::kDownloaded);
  return kUpdateHandedOver;
}

UpdateFileEntry* FindClientEntry(std::vector<UpdateFileEntry>& list) {
  const size_t nameBytes = std::strlen(kClientEntryName) + 1;
  for (UpdateFileEntry& entry : list)
    if (std::memcmp(entry.szName, kClientEntryName, nameBytes) == 0) return &entry;
  return nullptr;
}

bool RunningClientDiffers(const JOBPARAM& job, std::vector<UpdateFileEntry>& list) {
  const UpdateFileEntry* client = FindClientEntry(list);
  if (!client) return false;
  if (job.bSelfUpdated && FileIs(OwnFile(job).c_str(), client->nSize, client->abDigest)) return false;
  if (QueryFileSize(kRunningClient) == client->nSize) {
    unsigned char digest[16];
    // A client that cannot be digested counts as current.
    if (!Md5OfFile(kRunningClient, digest) || std::memcmp(digest, client->abDigest, 16) == 0)
      return false;
  }
  return true;
}

void EnterClientUpdateMode(CJobReporter& reporter, std::vector<UpdateFileEntry>& list,
                           const CVersionFile& versionFile) {
  const UpdateFileEntry* client = FindClientEntry(list);
  DeleteFileW(L"Support\\updater\\koral70.exe");  // a failure is ignored
  reporter.PostStatus(GetMsg(Msg::kDownloadingClient));
  if (versionFile.IsOpen()) {
    for (UpdateFileEntry& entry : list) {
      if (&entry == client) continue;
      if (const UpdateFileEntry* record = versionFile.Find(entry.szName)) entry = *record;
    }
  }
}
