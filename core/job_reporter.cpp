#include "core/job_reporter.h"

#include "core/catalogue.h"

void CJobReporter::ShowMessage(int id, UINT type) { ShowMessageBox(GetMsg(id), type); }

void CJobReporter::ShowNumberMessage(int id, int number, UINT type) {
  CString text;
  text.Format(GetMsg(id), number);
  ShowMessageBox(text, type);
}

int CountProgressCallback(void* reporter, double dltotal, double dlnow, double, double) {
  static_cast<CJobReporter*>(reporter)->CountProgress(dltotal, dlnow);
  return 0;
}

int FileProgressCallback(void* reporter, double, double dlnow, double, double) {
  static_cast<CJobReporter*>(reporter)->FileProgress(dlnow);
  return 0;
}
