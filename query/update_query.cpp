#include "query/update_query.h"

#include <cstring>

#include "net/retry.h"

CString BuildLoginForm(const CString& serial, const CString& password) {
  return L"serial=" + serial + L"&pwd=" + password;
}

CString BuildUpdateQuery(const CString& serial, const CString& password, bool notify, bool batch) {
  CString query = BuildLoginForm(serial, password);
  if (notify) query += L"&notify=1";
  if (batch) query += L"&batch=1";
  query += L"&clientversion=";
  query += kClientVersionWire;
  return query;
}

QueryResult SendQuery(CHttpSession& session, ServerScript script, const CString& form, AnswerCheck isAnswer,
                      CQueryAnswerSink* sink) {
  constexpr std::uint32_t kMinAnswer = 2;
  session.ClearPostFields();
  session.SetUrl(ServerScriptUrl(script));
  session.AddPostField(form);
  session.SetBodySink(sink);
  const HttpResult result = PerformWithRetry(session, [isAnswer, sink](const CHttpSession& replied) {
    return isAnswer(sink ? sink->Kept() : replied.Body());
  });
  session.SetBodySink(nullptr);
  if (result == HttpResult::kCancelled) return QueryResult::kStopped;
  // Longer than any answer can be (or than memory holds): no answer of ours.
  if (result == HttpResult::kTooLarge || result == HttpResult::kNoMemory) return QueryResult::kTooLong;
  if (result != HttpResult::kOk) return QueryResult::kNoConnection;
  if (session.ReceivedBytes() < kMinAnswer) return QueryResult::kTooShort;
  return QueryResult::kAnswered;
}

QueryResult SendUpdateQuery(CHttpSession& session, const CString& serial, const CString& password,
                            bool notify, bool batch, CQueryAnswerSink* sink) {
  return SendQuery(
      session, ServerScript::kUpdate, BuildUpdateQuery(serial, password, notify, batch),
      [](std::span<const unsigned char> body) { return ReadUpdateAnswer(body) != UpdateAnswer::kUnknown; }, sink);
}

UpdateAnswer ReadUpdateAnswer(std::span<const unsigned char> body) {
  if (body.empty()) return UpdateAnswer::kUnknown;
  switch (body[0]) {
    case 'C':
      return IsClientUpdateAnswer(body.data(), static_cast<std::uint32_t>(body.size()))
                 ? UpdateAnswer::kClientUpdate
                 : UpdateAnswer::kBadClientUpdate;
    case 'I':
      return UpdateAnswer::kIncorrectLogin;
    case 'L':
      return UpdateAnswer::kFileList;
    case 'U':
      return UpdateAnswer::kNotRegistered;
    default:
      return UpdateAnswer::kUnknown;
  }
}

bool IsClientUpdateAnswer(const unsigned char* body, std::uint32_t size) {
  const size_t n = std::strlen(kClientUpdatePrefix);
  return body && size >= n && std::memcmp(body, kClientUpdatePrefix, n) == 0;
}
