#include "update/card_failure.h"

#include "platform/files.h"
#include "platform/text.h"

FailureCause CardFailureCause(int systemError) {
  FailureCause cause;
  if (IsWriteProtectedError(systemError))
    cause.kind = FailureCause::Kind::kWriteProtected;
  else if (IsDiskFullError(systemError))
    cause.kind = FailureCause::Kind::kCardFull;
  else if (systemError != 0) {
    cause.kind = FailureCause::Kind::kFileSystem;
    cause.detail = WideFromUtf8(SystemErrorText(systemError));
  }
  return cause;
}
