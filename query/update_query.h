// The update query: the exchange with "/script/update.php" that has the
// card's serial number and password accepted, and the recognition of its
// answer. The update job and the change-user-info flow both send it.
#pragma once

#include <cstdint>

#include "framework/cstring.h"
#include "net/http_session.h"

// The form body: serial, pwd, notify=1 when asked, batch=1 when asked (the
// update job only), clientversion. Values go as they are, unescaped.
CString BuildUpdateQuery(const CString& serial, const CString& password, bool notify, bool batch);

// How the exchange ended: an answer of at least two bytes is in the
// session's reply; otherwise the transfer failed, the reply went over the
// session's reply limit (or found no memory), or it was too short.
enum class QueryResult { kAnswered, kNoConnection, kTooLong, kTooShort };

// Sends the update query on session, with the proxy and reply limit the
// caller has given it.
QueryResult SendUpdateQuery(CHttpSession& session, const CString& serial, const CString& password,
                            bool notify, bool batch);

constexpr const char* kClientUpdatePrefix = "Client Update: http://";
constexpr std::uint32_t kClientUpdateUrlOffset = 15;

// True when the answer begins with the whole "Client Update: http://" prefix.
bool IsClientUpdateAnswer(const unsigned char* body, std::uint32_t size);
