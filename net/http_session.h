// CHttpSession: one libcurl easy handle with the program's fixed options, an
// in-memory zero-terminated reply body, a url-form body and an optional
// multipart form. Created per operation and used by one thread only.
#pragma once

#include <curl/curl.h>

#include <cstdint>

#include "framework/cstring.h"

class CHttpSession {
 public:
  CHttpSession();
  ~CHttpSession();
  CHttpSession(const CHttpSession&) = delete;
  CHttpSession& operator=(const CHttpSession&) = delete;

  // Sets the proxy when its UTF-8 form has 1 to 1022 bytes; else nothing.
  void SetProxy(CString proxy);
  // Sets the URL from its UTF-8 form (at most 499 bytes); a longer one is
  // refused and makes the next Perform fail.
  void SetUrl(CString url);
  void SetUrlA(const char* url);
  // Appends one finished name=value pair, "&" in front unless empty.
  void AddPostField(CString field);
  // Appends name=, then two upper-case hex digits per byte.
  void AddHexPostField(const unsigned char* bytes, CString name, std::uint32_t count);
  void ClearPostFields();
  // Adds one part to the multipart form of g_pUploadSession.
  static CURLFORMcode AddFormPart(const char* name, CURLformoption option, const char* value);
  // Runs the transfer; returns libcurl's code (0 is success).
  CURLcode Perform();
  void ResetResponse();
  void SetProgressCallback(curl_progress_callback callback);
  // Ends a transfer whose reply grows beyond limit bytes (0: no limit).
  void SetReplyLimit(std::uint64_t limit);

  CURL* m_hCurl = nullptr;
  unsigned char* m_pResponse = nullptr;
  std::uint32_t m_nResponseSize = 0;
  CString m_strPostFields;
  char m_szUrl[500] = {};
  char m_szPostFields[8192] = {};
  curl_httppost* m_pFormFirst = nullptr;
  curl_httppost* m_pFormLast = nullptr;
  // Implementation details: the reply limit, whether the reply was cut off
  // by it or by a failed allocation, and a URL refused for its length.
  std::uint64_t m_nReplyLimit = 0;
  bool m_bReplyFailed = false;
  bool m_bUrlRefused = false;
};

// The session on which the log upload builds its multipart form.
extern CHttpSession* g_pUploadSession;

// Test seam: the length in seconds of the low-speed window (60) for sessions
// created afterwards, so that a test sees the guard fire within seconds. Only
// code can set it; no user setting reaches it.
void SetLowSpeedWindowForTesting(long seconds);
