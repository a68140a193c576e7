#include "query/update_query.h"

#include <cstring>

#include "core/product.h"

CString BuildUpdateQuery(const CString& serial, const CString& password, bool notify, bool batch) {
  CString query = L"serial=" + serial + L"&pwd=" + password;
  if (notify) query += L"&notify=1";
  if (batch) query += L"&batch=1";
  query += L"&clientversion=";
  query += kClientVersionWire;
  return query;
}

CString UpdateScriptUrl() { return UpdateBaseUrl() + L"/script/update.php"; }

QueryResult SendUpdateQuery(CHttpSession& session, const CString& serial, const CString& password,
                            bool notify, bool batch) {
  constexpr std::uint32_t kMinAnswer = 2;
  session.ClearPostFields();
  session.SetUrl(UpdateScriptUrl());
  session.AddPostField(BuildUpdateQuery(serial, password, notify, batch));
  const CURLcode result = session.Perform();
  if (result != CURLE_OK && !session.m_bReplyFailed && result != CURLE_FILESIZE_EXCEEDED)
    return QueryResult::kNoConnection;
  if (result != CURLE_OK) return QueryResult::kTooLong;
  if (session.m_nResponseSize < kMinAnswer) return QueryResult::kTooShort;
  return QueryResult::kAnswered;
}

bool IsClientUpdateAnswer(const unsigned char* body, std::uint32_t size) {
  const size_t n = std::strlen(kClientUpdatePrefix);
  return body && size >= n && std::memcmp(body, kClientUpdatePrefix, n) == 0;
}
