#include "core/failure_cause.h"

#include "core/catalogue.h"

namespace {
CString CauseText(const FailureCause& cause) {
  using Kind = FailureCause::Kind;
  CString text;
  switch (cause.kind) {
    case Kind::kNone: break;
    case Kind::kWriteProtected: text = GetMsg(Msg::kCauseWriteProtected); break;
    case Kind::kCardFull: text = GetMsg(Msg::kCauseCardFull); break;
    case Kind::kFileSystem: text.Format(GetMsg(Msg::kCauseFileSystem), cause.detail); break;
    case Kind::kRefused: text = GetMsg(Msg::kCauseRefused); break;
    case Kind::kTimedOut: text = GetMsg(Msg::kCauseTimedOut); break;
    case Kind::kNoName: text = GetMsg(Msg::kCauseNoName); break;
    case Kind::kHttpStatus: text.Format(GetMsg(Msg::kCauseHttpStatus), cause.number); break;
    case Kind::kTransfer: text.Format(GetMsg(Msg::kCauseTransfer), cause.detail); break;
  }
  return text;
}
}  // namespace

CString CauseLine(const FailureCause& cause) {
  const CString text = CauseText(cause);
  if (text.IsEmpty()) return text;
  CString line;
  line.Format(GetMsg(Msg::kCauseLine), text);
  return line;
}
