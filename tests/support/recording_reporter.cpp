#include "tests/support/recording_reporter.h"

#include "framework/headless/headless_backend.h"

namespace testing_support {

void CRecordingReporter::PostStatus(const CString& text) { log += text.str(); }

void CRecordingReporter::ShowFile(const CString& name, std::uint32_t size) {
  fileName = name.str();
  fileSize = size;
  fileBytes = 0;
}

int CRecordingReporter::ShowMessageBox(const CString& text, UINT type) {
  output.push_back(afx::MessageBoxLine(text, type));
  return IDOK;
}

bool CRecordingReporter::ChooseSaveFile(const CString& suggested, const CString&, CString& path,
                                        CString& name) {
  suggestedName = suggested.str();
  if (!savePath) return false;
  path = savePath->c_str();
  const size_t slash = savePath->find_last_of(L"/\\");
  name = (slash == std::wstring::npos ? *savePath : savePath->substr(slash + 1)).c_str();
  return true;
}

bool CRecordingReporter::RunRegistrationForm(CHttpSession& session, std::int32_t& result) {
  return registrationForm && registrationForm(session, result);
}

}  // namespace testing_support
