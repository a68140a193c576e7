#include "core/job_reporter.h"

#include "core/catalogue.h"

void CJobReporter::ShowMessage(Msg message, UINT type) { ShowMessageBox(GetMsg(message), type); }

void CJobReporter::ShowNumberMessage(Msg message, int number, UINT type) {
  CString text;
  text.Format(GetMsg(message), number);
  ShowMessageBox(text, type);
}

void CJobReporter::ShowTextMessage(Msg message, const CString& text, UINT type) {
  CString formatted;
  formatted.Format(GetMsg(message), text.GetString());
  ShowMessageBox(formatted, type);
}

void CJobReporter::Fail(Msg message, UINT type, const FailureCause& cause) {
  PostStatus(GetMsg(Msg::kStepError) + CauseLine(cause));
  ShowMessage(message, type);
}

void CJobReporter::FailWithNumber(Msg message, int number, const FailureCause& cause) {
  PostStatus(GetMsg(Msg::kStepError) + CauseLine(cause));
  ShowNumberMessage(message, number);
}

int CountProgressCallback(void* user, double dltotal, double dlnow, double, double) {
  auto* reporter = static_cast<CJobReporter*>(user);
  reporter->CountProgress(dltotal, dlnow);
  return reporter->IsCancelled() ? 1 : 0;
}

int FileProgressCallback(void* user, double, double dlnow, double, double) {
  auto* reporter = static_cast<CJobReporter*>(user);
  reporter->FileProgress(dlnow);
  return reporter->IsCancelled() ? 1 : 0;
}
