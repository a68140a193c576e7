// CHttpSession: one HTTP client handle with the program's fixed options, a
// url-form body, an optional multipart form, and a reply body that is either
// held in memory (zero-terminated) or handed to a body sink as it arrives.
// Created per operation and used by one thread only. The transfer library
// stays inside net/: callers see only the operations below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/failure_cause.h"
#include "framework/cstring.h"

struct curl_httppost;
class CRetryPolicy;

// How a transfer ended. Anything but kOk means no complete reply arrived.
enum class HttpResult {
  kOk,          // complete reply, whatever its status code
  kFailed,      // no connection, or the connection broke off
  kTimedOut,    // slower than the low-speed guard allows
  kTooLarge,    // the reply went beyond the session's reply limit
  kNoMemory,    // the body could not be held
  kSinkFailed,  // the body sink refused a chunk
  kRefused,     // the URL or the form body did not fit; nothing was sent
  kCancelled,   // the progress callback ended it (the user asked the job to stop)
};

// Receives a reply body chunk by chunk while it arrives. Returning false ends
// the transfer (kSinkFailed).
class CHttpBodySink {
 public:
  virtual ~CHttpBodySink() = default;
  virtual bool Write(const unsigned char* data, std::size_t size) = 0;
  // Each transfer starts here: a sink that keeps what it received drops what
  // an earlier try of the exchange left.
  virtual void Restart() {}
};

// Progress during a transfer: expected and received bytes of the download and
// of the upload (0 when unknown). A non-zero return ends the transfer.
using HttpProgressCallback = int (*)(void* user, double dltotal, double dlnow, double ultotal,
                                     double ulnow);

// The two kinds of multipart part the log upload sends.
enum class FormPart {
  kFile,  // value: a file path; its contents go, with its name as file name
  kText,  // value: zero-terminated text, copied
};

class CHttpSession {
 public:
  CHttpSession();
  ~CHttpSession();
  CHttpSession(const CHttpSession&) = delete;
  CHttpSession& operator=(const CHttpSession&) = delete;

  // The longest URL, in UTF-8 bytes, a session takes.
  static constexpr std::size_t kMaxUrlBytes = 499;

  // Sets the proxy when its UTF-8 form has 1 to 1022 bytes; else nothing.
  void SetProxy(CString proxy);
  // Sets the URL from its UTF-8 form (at most kMaxUrlBytes); a longer one is
  // refused and makes the next Perform return kRefused.
  void SetUrl(CString url);
  void SetUrlA(const char* url);
  // Appends one finished name=value pair, "&" in front unless empty.
  void AddPostField(CString field);
  // Appends name=, then two upper-case hex digits per byte.
  void AddHexPostField(const unsigned char* bytes, CString name, std::uint32_t count);
  void ClearPostFields();
  const CString& GetPostFields() const { return m_strPostFields; }
  // Adds one part to the multipart form of g_pUploadSession; false when there
  // is no upload session or the part was not taken.
  static bool AddFormPart(const char* name, FormPart kind, const char* value);
  bool HasForm() const { return m_pFormFirst != nullptr; }

  // Runs the transfer. The previous reply is cleared first (a body sink is
  // restarted); the multipart form is freed afterwards whatever the outcome.
  HttpResult Perform();
  void ResetResponse();

  // The HTTP status of the last reply (0 when none came); false when the
  // session has no handle to ask.
  bool GetStatusCode(long& status) const;
  // A complete reply with a 2xx status.
  bool Succeeded() const;
  // Why the last transfer failed, for the user: the server refused the
  // connection, did not answer in time, has a name that did not resolve,
  // answered with an error status, or the transfer library's own words.
  // None after a complete 2xx reply.
  FailureCause LastFailureCause() const;
  // The body of the last reply when no sink took it; empty when none came.
  // The bytes are followed by a zero byte, so a text reply is a C string.
  std::span<const unsigned char> Body() const { return {m_pResponse, m_nResponseSize}; }
  std::string_view BodyText() const {
    return {reinterpret_cast<const char*>(m_pResponse), m_nResponseSize};
  }
  // Bytes of the last reply body received, also those handed to a sink.
  std::uint64_t ReceivedBytes() const { return m_nReceived; }

  // Calls callback(user, ...) during every later transfer; null stops it.
  void SetProgressCallback(HttpProgressCallback callback, void* user);
  // Ends a transfer whose reply grows beyond limit bytes (0: no limit).
  void SetReplyLimit(std::uint64_t limit);
  bool HasReplyLimit() const { return m_nReplyLimit != 0; }
  // Hands later reply bodies to sink instead of the memory buffer (null: back
  // to the buffer). The sink must outlive the transfers it receives.
  void SetBodySink(CHttpBodySink* sink) { m_pSink = sink; }
  // The policy under which the session's exchanges are tried again after a
  // network failure (net/retry.h); null, as at the start: one try each.
  void SetRetryPolicy(CRetryPolicy* policy) { m_pRetry = policy; }
  CRetryPolicy* RetryPolicy() const { return m_pRetry; }

 private:
  static std::size_t OnWriteData(char* data, std::size_t size, std::size_t count, void* user);
  static int OnProgress(void* user, std::int64_t dltotal, std::int64_t dlnow, std::int64_t ultotal,
                        std::int64_t ulnow);
  bool Append(const char* data, std::size_t size);

  void* m_hCurl = nullptr;
  unsigned char* m_pResponse = nullptr;
  std::uint32_t m_nResponseSize = 0;
  CString m_strPostFields;
  char m_szUrl[kMaxUrlBytes + 1] = {};
  char m_szPostFields[8192] = {};
  curl_httppost* m_pFormFirst = nullptr;
  curl_httppost* m_pFormLast = nullptr;
  std::uint64_t m_nReplyLimit = 0;
  std::uint64_t m_nReceived = 0;
  CHttpBodySink* m_pSink = nullptr;
  CRetryPolicy* m_pRetry = nullptr;
  HttpProgressCallback m_pProgress = nullptr;
  void* m_pProgressUser = nullptr;
  HttpResult m_replyFailure = HttpResult::kOk;  // why the body was cut off
  int m_nLastCode = 0;                          // the transfer library's code of the last Perform
  char m_szError[256] = {};                     // its words for it
  bool m_bUrlRefused = false;
  bool m_bCompleted = false;  // the last Perform got a complete reply
};

// The session on which the log upload builds its multipart form.
extern CHttpSession* g_pUploadSession;

// Test seam: the length in seconds of the low-speed window (60) for sessions
// created afterwards, so that a test sees the guard fire within seconds. Only
// code can set it; no user setting reaches it.
void SetLowSpeedWindowForTesting(long seconds);
