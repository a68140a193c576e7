#include "core/job_reporter.h"

#include "core/catalogue.h"

void CJobReporter::ShowMessage(Msg message, UINT type) { ShowMessageBox(GetMsg(message), type); }

void CJobReporter::ShowNumberMessage(Msg message, int number, UINT type) {
  CString text;
  text.Format(GetMsg(message), number);
  ShowMessageBox(text, type);
}

void CJobReporter::Fail(Msg message, UINT type) {
  PostStatus(GetMsg(Msg::kStepError));
  ShowMessage(message, type);
}

void CJobReporter::FailWithNumber(Msg message, int number, UINT type) {
  PostStatus(GetMsg(Msg::kStepError));
  ShowNumberMessage(message, number, type);
}

int CountProgressCallback(void* reporter, double dltotal, double dlnow, double, double) {
  static_cast<CJobReporter*>(reporter)->CountProgress(dltotal, dlnow);
  return 0;
}

int FileProgressCallback(void* reporter, double, double dlnow, double, double) {
  static_cast<CJobReporter*>(reporter)->FileProgress(dlnow);
  return 0;
}
