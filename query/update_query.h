// The update query: the exchange with "/script/update.php" that has the
// card's serial number and password accepted, and the reading of its
// answer. The update job, the change-user-info flow and the manual download
// (whose query sends the same login) all go through here.
#pragma once

#include <cstdint>
#include <span>

#include "core/product.h"
#include "framework/cstring.h"
#include "net/http_session.h"

// The login form: serial and pwd, values as they are, unescaped.
CString BuildLoginForm(const CString& serial, const CString& password);
// The update query's form: the login, notify=1 when asked, batch=1 when
// asked (the update job only), clientversion.
CString BuildUpdateQuery(const CString& serial, const CString& password, bool notify, bool batch);

// How an exchange ended: an answer of at least two bytes came; otherwise
// the transfer failed, the reply went over the session's reply limit (or
// found no memory), it was too short, or the user asked to stop while it
// waited to try again.
enum class QueryResult { kAnswered, kNoConnection, kTooLong, kTooShort, kStopped };

// Whether a reply is one of the script's answers (it may still say no).
using AnswerCheck = bool (*)(std::span<const unsigned char> body);

// Takes an answer as it arrives instead of the session's reply buffer,
// keeping its start (for a short answer, all of it) where the answer check
// and the caller read it.
class CQueryAnswerSink : public CHttpBodySink {
 public:
  virtual std::span<const unsigned char> Kept() const = 0;
};

// Posts form to one of the server's scripts on session, with the proxy,
// reply limit and retry policy the caller has given it. A busy reply (5xx,
// 429) is tried again unless isAnswer takes it for an answer. The answer is
// in the session's reply, or in sink when one is given.
QueryResult SendQuery(CHttpSession& session, ServerScript script, const CString& form, AnswerCheck isAnswer,
                      CQueryAnswerSink* sink = nullptr);
// The update query on session.
QueryResult SendUpdateQuery(CHttpSession& session, const CString& serial, const CString& password,
                            bool notify, bool batch, CQueryAnswerSink* sink = nullptr);

// What an update query's answer says, by its first byte.
enum class UpdateAnswer {
  kClientUpdate,     // "Client Update: http://..." : a newer client is needed
  kBadClientUpdate,  // "C" without the whole prefix
  kIncorrectLogin,   // "I"
  kFileList,         // "L": the card's file list
  kNotRegistered,    // "U": accepted, no owner details on record yet
  kUnknown,          // any other byte
};
UpdateAnswer ReadUpdateAnswer(std::span<const unsigned char> body);

constexpr const char* kClientUpdatePrefix = "Client Update: http://";
constexpr std::uint32_t kClientUpdateUrlOffset = 15;

// True when the answer begins with the whole "Client Update: http://" prefix.
bool IsClientUpdateAnswer(const unsigned char* body, std::uint32_t size);
