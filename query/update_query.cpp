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

QueryResult SendUpdateQuery(CHttpSession& session, const CString& serial, const CString& password,
                            bool notify, bool batch) {
  constexpr std::uint32_t kMinAnswer = 2;
  session.ClearPostFields();
  session.SetUrl(ServerScriptUrl(ServerScript::kUpdate));
  session.AddPostField(BuildUpdateQuery(serial, password, notify, batch));
  const HttpResult result = session.Perform();
  // Longer than any list can be (or than memory holds): no answer of ours.
  if (result == HttpResult::kTooLarge || result == HttpResult::kNoMemory) return QueryResult::kTooLong;
  if (result != HttpResult::kOk) return QueryResult::kNoConnection;
  if (session.Body().size() < kMinAnswer) return QueryResult::kTooShort;
  return QueryResult::kAnswered;
}

bool IsClientUpdateAnswer(const unsigned char* body, std::uint32_t size) {
  const size_t n = std::strlen(kClientUpdatePrefix);
  return body && size >= n && std::memcmp(body, kClientUpdatePrefix, n) == 0;
}
