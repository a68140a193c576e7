#include "net/http_session.h"

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

// Appends one chunk of the reply body. The body stays zero-terminated and
// grows by exactly the chunk's size. Returning less than the chunk's size
// ends the transfer with CURLE_WRITE_ERROR.
size_t OnWriteData(char* data, size_t size, size_t count, void* user) {
  auto* session = static_cast<CHttpSession*>(user);
  const size_t n = size * count;
  const std::uint64_t grown = std::uint64_t{session->m_nResponseSize} + n;
  if (session->m_nReplyLimit != 0 && grown > session->m_nReplyLimit) {
    session->m_bReplyFailed = true;
    return 0;
  }
  // The size field is 32 bits wide; a longer body cannot be held.
  if (grown + 1 > UINT32_MAX) {
    session->m_bReplyFailed = true;
    return 0;
  }
  void* block = std::realloc(session->m_pResponse, static_cast<size_t>(grown) + 1);
  if (!block) {
    // The body is incomplete: give it up so that no caller sees part of it.
    session->ResetResponse();
    session->m_bReplyFailed = true;
    return 0;
  }
  session->m_pResponse = static_cast<unsigned char*>(block);
  if (n) std::memcpy(session->m_pResponse + session->m_nResponseSize, data, n);
  session->m_nResponseSize = static_cast<std::uint32_t>(grown);
  session->m_pResponse[session->m_nResponseSize] = 0;
  return n;
}

}  // namespace

CHttpSession::CHttpSession() {
  curl_global_init(CURL_GLOBAL_ALL);
  m_hCurl = curl_easy_init();
  curl_easy_setopt(m_hCurl, CURLOPT_WRITEFUNCTION, &OnWriteData);
  curl_easy_setopt(m_hCurl, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(m_hCurl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(m_hCurl, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(m_hCurl, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedLimit);
  curl_easy_setopt(m_hCurl, CURLOPT_LOW_SPEED_TIME, g_lowSpeedSeconds.load());
}

CHttpSession::~CHttpSession() {
  if (m_pFormFirst) curl_formfree(m_pFormFirst);  // built but never sent
  curl_easy_cleanup(m_hCurl);
  curl_global_cleanup();
  ResetResponse();
}

void CHttpSession::SetProxy(CString proxy) {
  if (proxy.IsEmpty()) return;
  char buffer[1024];
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, proxy, -1, buffer, sizeof buffer, nullptr, nullptr);
  if (bytes >= 1 && bytes <= 1023) curl_easy_setopt(m_hCurl, CURLOPT_PROXY, buffer);
}

void CHttpSession::SetUrl(CString url) {
  m_bUrlRefused =
      WideCharToMultiByte(CP_UTF8, 0, url, -1, m_szUrl, sizeof m_szUrl, nullptr, nullptr) == 0;
  if (m_bUrlRefused) m_szUrl[0] = 0;
  curl_easy_setopt(m_hCurl, CURLOPT_URL, m_szUrl);
}

void CHttpSession::SetUrlA(const char* url) {
  const size_t length = url ? std::strlen(url) : 0;
  m_bUrlRefused = !url || length >= sizeof m_szUrl;
  if (m_bUrlRefused)
    m_szUrl[0] = 0;
  else
    std::memcpy(m_szUrl, url, length + 1);
  curl_easy_setopt(m_hCurl, CURLOPT_URL, m_szUrl);
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

CURLFORMcode CHttpSession::AddFormPart(const char* name, CURLformoption option, const char* value) {
  if (!g_pUploadSession) return CURL_FORMADD_INCOMPLETE;
  return curl_formadd(&g_pUploadSession->m_pFormFirst, &g_pUploadSession->m_pFormLast,
                      CURLFORM_COPYNAME, name, option, value, CURLFORM_END);
}

CURLcode CHttpSession::Perform() {
  // A body that does not fit its buffer is refused rather than cut.
  bool bodyRefused = false;
  if (!m_strPostFields.IsEmpty()) {
    bodyRefused = WideCharToMultiByte(CP_UTF8, 0, m_strPostFields, -1, m_szPostFields,
                                      sizeof m_szPostFields, nullptr, nullptr) == 0;
    if (bodyRefused)
      m_szPostFields[0] = 0;
    else
      curl_easy_setopt(m_hCurl, CURLOPT_POSTFIELDS, m_szPostFields);
  } else if (m_pFormFirst) {
    curl_easy_setopt(m_hCurl, CURLOPT_HTTPPOST, m_pFormFirst);
  }
  ResetResponse();
  CURLcode result;
  if (m_bUrlRefused)
    result = CURLE_URL_MALFORMAT;
  else if (bodyRefused)
    result = CURLE_BAD_FUNCTION_ARGUMENT;
  else
    result = curl_easy_perform(m_hCurl);
  // A reply cut off by its limit or by memory is a failed transfer.
  if (m_bReplyFailed && result == CURLE_OK) result = CURLE_WRITE_ERROR;
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
  m_bReplyFailed = false;
}

void CHttpSession::SetProgressCallback(curl_progress_callback callback) {
  curl_easy_setopt(m_hCurl, CURLOPT_PROGRESSFUNCTION, callback);
  curl_easy_setopt(m_hCurl, CURLOPT_NOPROGRESS, 0L);
}

void CHttpSession::SetReplyLimit(std::uint64_t limit) {
  m_nReplyLimit = limit;
  // An announced size above the limit is refused before the body arrives;
  // the write callback enforces the limit for replies without one.
  curl_easy_setopt(m_hCurl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limit));
}

void SetLowSpeedWindowForTesting(long seconds) { g_lowSpeedSeconds = seconds; }
