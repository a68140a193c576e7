#include "net/http_session.h"

#include <curl/curl.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "core/product.h"
#include "platform/text.h"

CHttpSession* g_pUploadSession = nullptr;

namespace {

// A transfer whose rate stays under 100 bytes a second for 60 seconds is
// given up, so neither a stalled nor a trickling server can hold a job (or
// the window) for ever.
constexpr long kLowSpeedLimit = 100;
std::atomic<long> g_lowSpeedSeconds{60};
// The receive buffer: large chunks mean few write calls for a streamed body
// and few progress callbacks per file (libcurl's default is 16 KiB).
constexpr long kReceiveBuffer = 256 * 1024;

CURL* Handle(void* handle) { return static_cast<CURL*>(handle); }

HttpResult ResultOf(CURLcode code) {
  switch (code) {
    case CURLE_OK:
      return HttpResult::kOk;
    case CURLE_OPERATION_TIMEDOUT:
      return HttpResult::kTimedOut;
    case CURLE_FILESIZE_EXCEEDED:
      return HttpResult::kTooLarge;
    case CURLE_OUT_OF_MEMORY:
      return HttpResult::kNoMemory;
    case CURLE_ABORTED_BY_CALLBACK:
      return HttpResult::kCancelled;
    default:
      return HttpResult::kFailed;
  }
}

}  // namespace

// One chunk of the reply body: counted against the limit, then handed to the
// sink or appended to the buffer. Returning less than the chunk's size ends
// the transfer with a write error, which Perform reports by its cause.
std::size_t CHttpSession::OnWriteData(char* data, std::size_t size, std::size_t count, void* user) {
  auto* session = static_cast<CHttpSession*>(user);
  const std::size_t n = size * count;
  const std::uint64_t received = session->m_nReceived + n;
  if (session->m_nReplyLimit != 0 && received > session->m_nReplyLimit) {
    session->m_replyFailure = HttpResult::kTooLarge;
    return 0;
  }
  session->m_nReceived = received;
  if (session->m_pSink) {
    if (session->m_pSink->Write(reinterpret_cast<const unsigned char*>(data), n)) return n;
    session->m_replyFailure = HttpResult::kSinkFailed;
    return 0;
  }
  return session->Append(data, n) ? n : 0;
}

// Grows the in-memory body by exactly the chunk and keeps it zero-terminated.
bool CHttpSession::Append(const char* data, std::size_t n) {
  const std::uint64_t grown = std::uint64_t{m_nResponseSize} + n;
  // The size field is 32 bits wide; a longer body cannot be held.
  if (grown + 1 > UINT32_MAX) {
    m_replyFailure = HttpResult::kNoMemory;
    return false;
  }
  void* block = std::realloc(m_pResponse, static_cast<std::size_t>(grown) + 1);
  if (!block) {
    // The body is incomplete: give it up so that no caller sees part of it.
    std::free(m_pResponse);
    m_pResponse = nullptr;
    m_nResponseSize = 0;
    m_replyFailure = HttpResult::kNoMemory;
    return false;
  }
  m_pResponse = static_cast<unsigned char*>(block);
  if (n) std::memcpy(m_pResponse + m_nResponseSize, data, n);
  m_nResponseSize = static_cast<std::uint32_t>(grown);
  m_pResponse[m_nResponseSize] = 0;
  return true;
}

int CHttpSession::OnProgress(void* user, std::int64_t dltotal, std::int64_t dlnow,
                             std::int64_t ultotal, std::int64_t ulnow) {
  auto* session = static_cast<CHttpSession*>(user);
  if (!session->m_pProgress) return 0;
  return session->m_pProgress(session->m_pProgressUser, static_cast<double>(dltotal),
                              static_cast<double>(dlnow), static_cast<double>(ultotal),
                              static_cast<double>(ulnow));
}

CHttpSession::CHttpSession() {
  curl_global_init(CURL_GLOBAL_ALL);
  m_hCurl = curl_easy_init();
  CURL* curl = Handle(m_hCurl);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CHttpSession::OnWriteData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedLimit);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, g_lowSpeedSeconds.load());
  // A connection that does not come up is given the same time as a stalled
  // transfer (libcurl's own default is five minutes).
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, g_lowSpeedSeconds.load());
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBuffer);
  // No signal handlers installed and removed around every transfer: the
  // time-outs above are kept without them.
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_szError);
}

CHttpSession::~CHttpSession() {
  if (m_pFormFirst) curl_formfree(m_pFormFirst);  // built but never sent
  curl_easy_cleanup(Handle(m_hCurl));
  curl_global_cleanup();
  ResetResponse();
}

void CHttpSession::SetProxy(CString proxy) {
  if (proxy.IsEmpty()) return;
  char buffer[1024];
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, proxy, -1, buffer, sizeof buffer, nullptr, nullptr);
  if (bytes >= 1 && bytes <= 1023) curl_easy_setopt(Handle(m_hCurl), CURLOPT_PROXY, buffer);
}

void CHttpSession::SetUrl(CString url) {
  m_bUrlRefused =
      WideCharToMultiByte(CP_UTF8, 0, url, -1, m_szUrl, sizeof m_szUrl, nullptr, nullptr) == 0;
  if (m_bUrlRefused) m_szUrl[0] = 0;
  curl_easy_setopt(Handle(m_hCurl), CURLOPT_URL, m_szUrl);
}

void CHttpSession::SetUrlA(const char* url) {
  const std::size_t length = url ? std::strlen(url) : 0;
  m_bUrlRefused = !url || length >= sizeof m_szUrl;
  if (m_bUrlRefused)
    m_szUrl[0] = 0;
  else
    std::memcpy(m_szUrl, url, length + 1);
  curl_easy_setopt(Handle(m_hCurl), CURLOPT_URL, m_szUrl);
}

void CHttpSession::AddPostField(CString field) {
  if (!m_strPostFields.IsEmpty()) m_strPostFields += L"&";
  m_strPostFields += field;
}

void CHttpSession::AddHexPostField(const unsigned char* bytes, CString name, std::uint32_t count) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  if (!m_strPostFields.IsEmpty()) m_strPostFields += L"&";
  m_strPostFields += name;
  m_strPostFields += L"=";
  for (std::uint32_t i = 0; i < count; ++i) {
    m_strPostFields += kDigits[bytes[i] >> 4];
    m_strPostFields += kDigits[bytes[i] & 0x0F];
  }
}

void CHttpSession::ClearPostFields() { m_strPostFields = L""; }

bool CHttpSession::AddFormPart(const char* name, FormPart kind, const char* value) {
  if (!g_pUploadSession) return false;
  const CURLformoption option = kind == FormPart::kFile ? CURLFORM_FILE : CURLFORM_COPYCONTENTS;
  return curl_formadd(&g_pUploadSession->m_pFormFirst, &g_pUploadSession->m_pFormLast,
                      CURLFORM_COPYNAME, name, option, value, CURLFORM_END) == CURL_FORMADD_OK;
}

HttpResult CHttpSession::Perform() {
  CURL* curl = Handle(m_hCurl);
  // A body that does not fit its buffer is refused rather than cut.
  bool bodyRefused = false;
  if (!m_strPostFields.IsEmpty()) {
    bodyRefused = WideCharToMultiByte(CP_UTF8, 0, m_strPostFields, -1, m_szPostFields,
                                      sizeof m_szPostFields, nullptr, nullptr) == 0;
    if (bodyRefused)
      m_szPostFields[0] = 0;
    else
      curl_easy_setopt(curl, CURLOPT_POSTFIELDS, m_szPostFields);
  } else if (m_pFormFirst) {
    curl_easy_setopt(curl, CURLOPT_HTTPPOST, m_pFormFirst);
  }
  ResetResponse();
  if (m_pSink) m_pSink->Restart();
  HttpResult result;
  if (m_bUrlRefused || bodyRefused) {
    result = HttpResult::kRefused;
    m_nLastCode = CURLE_URL_MALFORMAT;
    m_szError[0] = '\0';
  } else {
    m_szError[0] = '\0';
    const CURLcode code = curl ? curl_easy_perform(curl) : CURLE_FAILED_INIT;
    m_nLastCode = code;
    // A reply cut off by the session itself fails for that reason.
    result = code == CURLE_WRITE_ERROR && m_replyFailure != HttpResult::kOk ? m_replyFailure
                                                                             : ResultOf(code);
  }
  m_bCompleted = result == HttpResult::kOk;
  if (m_pFormFirst) {
    curl_formfree(m_pFormFirst);
    m_pFormFirst = nullptr;
    m_pFormLast = nullptr;
  }
  return result;
}

void CHttpSession::ResetResponse() {
  std::free(m_pResponse);
  m_pResponse = nullptr;
  m_nResponseSize = 0;
  m_nReceived = 0;
  m_replyFailure = HttpResult::kOk;
  m_bCompleted = false;
}

bool CHttpSession::GetStatusCode(long& status) const {
  status = 0;
  return m_hCurl && curl_easy_getinfo(Handle(m_hCurl), CURLINFO_RESPONSE_CODE, &status) == CURLE_OK;
}

bool CHttpSession::Succeeded() const {
  long status = 0;
  return m_bCompleted && GetStatusCode(status) && status >= 200 && status < 300;
}

FailureCause CHttpSession::LastFailureCause() const {
  using Kind = FailureCause::Kind;
  FailureCause cause;
  long status = 0;
  switch (m_nLastCode) {
    case CURLE_OK:
      if (m_bCompleted && GetStatusCode(status) && (status < 200 || status >= 300)) {
        cause.kind = Kind::kHttpStatus;
        cause.number = static_cast<int>(status);
      }
      break;
    case CURLE_COULDNT_CONNECT:
      cause.kind = Kind::kRefused;
      break;
    case CURLE_OPERATION_TIMEDOUT:
      cause.kind = Kind::kTimedOut;
      break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      cause.kind = Kind::kNoName;
      break;
    default:
      cause.kind = Kind::kTransfer;
      cause.detail = WideFromUtf8(m_szError[0] ? m_szError : curl_easy_strerror(static_cast<CURLcode>(m_nLastCode)));
      break;
  }
  return cause;
}

void CHttpSession::SetProgressCallback(HttpProgressCallback callback, void* user) {
  CURL* curl = Handle(m_hCurl);
  m_pProgress = callback;
  m_pProgressUser = user;
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &CHttpSession::OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, callback ? 0L : 1L);
}

void CHttpSession::SetReplyLimit(std::uint64_t limit) {
  m_nReplyLimit = limit;
  // An announced size above the limit is refused before the body arrives;
  // the write callback enforces the limit for replies without one.
  curl_easy_setopt(Handle(m_hCurl), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limit));
}

void SetLowSpeedWindowForTesting(long seconds) { g_lowSpeedSeconds = seconds; }
