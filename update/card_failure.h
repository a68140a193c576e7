// Why a write on the card failed, in the user's words.
#pragma once

#include "core/failure_cause.h"

// From the system's error code of the failed call (LastSystemError()): a
// write-protected card, a full card, or the system's own words.
FailureCause CardFailureCause(int systemError);
