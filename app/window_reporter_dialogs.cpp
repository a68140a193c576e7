// The window reporter's dialogs: what a job asks the user through it.
#include "app/save_dialog.h"
#include "app/status_channel.h"
#include "register/agree_dialog.h"
#include "register/reg_dialog.h"

CFileDialog JobSaveDialog(const CString& suggestedName, const CString& filter) {
  CFileDialog dialog(FALSE, nullptr, suggestedName, OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR, filter, nullptr);
  dialog.m_strTitle = GetMsg(Msg::kSaveAs);
  return dialog;
}

bool CWindowReporter::ChooseSaveFile(const CString& suggestedName, const CString& filter, CString& path,
                                     CString& fileName) {
  SendHeldProgress();  // the count line is whole while the user chooses
  CFileDialog dialog = JobSaveDialog(suggestedName, filter);
  if (dialog.DoModal() != IDOK) return false;
  path = dialog.GetPathName();
  fileName = dialog.GetFileName();
  return true;
}

bool CWindowReporter::AskConsent() {
  CAgreeDialog consent;
  return consent.DoModal() == IDOK;
}

bool CWindowReporter::RunRegistrationForm(CHttpSession& session, std::int32_t& result) {
  CRegDialog form;
  form.m_pSession = &session;
  form.m_pResult = &result;
  return form.DoModal() == IDOK;
}
