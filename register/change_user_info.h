// The change-user-info flow: consent to the privacy policy, the update query
// that has the card accepted by the server, and the registration form sent
// on that query's session.
#pragma once

#include <functional>

#include "framework/cstring.h"

// Runs the flow on the UI thread from the consent dialog on; every outcome
// is reported to the user in a message box. showConnecting is called once
// consent is given, before the first request, so that the caller's status
// log can say that the client is connecting.
void RunChangeUserInfo(const CString& serial, const CString& password, bool updateNews,
                       const std::function<void()>& showConnecting);
