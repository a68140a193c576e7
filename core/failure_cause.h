// Why a step failed, in words a user can act on: the status log gives it on
// a line of its own after the step's " Error".
#pragma once

#include "framework/cstring.h"

struct FailureCause {
  enum class Kind {
    kNone,            // nothing more to tell
    kWriteProtected,  // the card (or its file system) refuses writes
    kCardFull,        // no space left on the card
    kFileSystem,      // another file-system error; detail is the system's text
    kRefused,         // the server refused the connection
    kTimedOut,        // the server did not answer in time
    kNoName,          // the server's name could not be resolved
    kHttpStatus,      // the server answered with an error status (number)
    kTransfer,        // another transfer error; detail is the library's text
  };
  Kind kind = Kind::kNone;
  int number = 0;
  CString detail;
};

// "  Cause: ...\r\n\r\n" in the display language; "" for kNone.
CString CauseLine(const FailureCause& cause);
