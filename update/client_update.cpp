#include "update/client_update.h"

#include <cstring>
#include <string>

#include "core/catalogue.h"
#include "platform/files.h"
#include "platform/card_file_writer.h"
#include "query/update_query.h"
#include "update/client_files.h"
#include "update/file_size.h"
#include "update/md5.h"

namespace {
// The session's URL buffer holds 499 bytes of text.
constexpr std::uint32_t kMaxUrlBytes = 499;
// The file-creation message has no list entry to name here.
constexpr int kNoEntryNumber = 0;

bool Succeeded(CHttpSession& session) {
  long status = 0;
  curl_easy_getinfo(session.m_hCurl, CURLINFO_RESPONSE_CODE, &status);
  return status >= 200 && status < 300 && session.m_nResponseSize > 0;
}
}  // namespace

UpdateResult DownloadNewClient(CJobReporter& reporter, CHttpSession& session,
                               const unsigned char* answer, std::uint32_t size) {
  const char* url = reinterpret_cast<const char*>(answer) + kClientUpdateUrlOffset;
  const std::uint32_t urlBytes = size - kClientUpdateUrlOffset;
  if (urlBytes > kMaxUrlBytes || std::memchr(url, '\0', urlBytes)) {
    reporter.ShowMessage(42);
    return kUpdateNoLogin;
  }
  reporter.PostStatus(GetMsg(52));
  session.SetProgressCallback(CountProgressCallback);
  curl_easy_setopt(session.m_hCurl, CURLOPT_PROGRESSDATA, &reporter);
  session.SetReplyLimit(kMaxClientReply);
  session.SetUrlA(std::string(url, urlBytes).c_str());
  // An error page is no client: starting it would replace the client with it
  // at the next swap.
  if (session.Perform() != CURLE_OK || !Succeeded(session)) {
    reporter.PostStatus(GetMsg(61));
    reporter.ShowMessage(53);
    return kUpdateTransferFailed;
  }
  if (!WriteCardFile(kNewClient, session.m_pResponse, session.m_nResponseSize)) {
    reporter.PostStatus(GetMsg(61));
    reporter.ShowMessage(58, kNoEntryNumber);
    return kUpdateTransferFailed;
  }
  session.ResetResponse();
  reporter.PostStatus(GetMsg(60));
  reporter.LaunchClient(NewClient::kDownloaded);
  return kUpdateHandedOver;
}

UpdateFileEntry* FindClientEntry(std::vector<UpdateFileEntry>& list) {
  const size_t nameBytes = std::strlen(kClientEntryName) + 1;
  for (UpdateFileEntry& entry : list)
    if (std::memcmp(entry.szName, kClientEntryName, nameBytes) == 0) return &entry;
  return nullptr;
}

bool RunningClientDiffers(std::vector<UpdateFileEntry>& list) {
  const UpdateFileEntry* client = FindClientEntry(list);
  if (!client) return false;
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
  reporter.PostStatus(GetMsg(52));
  if (versionFile.IsOpen()) {
    for (UpdateFileEntry& entry : list) {
      if (&entry == client) continue;
      if (const UpdateFileEntry* record = versionFile.Find(entry.szName)) entry = *record;
    }
  }
}
