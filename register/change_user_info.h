// The change-user-info flow: consent to the privacy policy, the update query
// that has the card accepted by the server, and the registration form sent
// on that query's session.
#pragma once

#include "core/job_reporter.h"
#include "framework/cstring.h"

// Runs the flow on the UI thread from the consent dialog on; every outcome
// is reported through reporter in a message box. Once consent is given, and
// before the first request, the status log says that the client connects.
void RunChangeUserInfo(const CString& serial, const CString& password, bool updateNews,
                       CJobReporter& reporter);
