// The update query's request and the recognition of its "C" answer, shared
// by the update job and the change-user-info flow.
#pragma once

#include <cstdint>

#include "framework/cstring.h"

// The form body: serial, pwd, notify=1 when asked, batch=1 when asked (the
// update job only), clientversion. Values go as they are, unescaped.
CString BuildUpdateQuery(const CString& serial, const CString& password, bool notify, bool batch);

constexpr const char* kClientUpdatePrefix = "Client Update: http://";
constexpr std::uint32_t kClientUpdateUrlOffset = 15;

// True when the answer begins with the whole "Client Update: http://" prefix.
bool IsClientUpdateAnswer(const unsigned char* body, std::uint32_t size);
