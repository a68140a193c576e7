#include "app/application.h"

#include "app/command_line.h"
#include "app/main_dialog.h"
#include "app/usage.h"
#include "core/product.h"
#include "framework/backend.h"

void ApplyStartFlags(const CCustomCommandLineInfo& info, CHalyardDlg& dialog) {
  if (info.m_bSelfUpdated) {
    dialog.m_bFinishSelfUpdate = true;
    dialog.m_bAutoStart = true;
  }
  if (info.m_bBatch) {
    dialog.m_bAutoStart = true;
    dialog.m_bBatch = true;
  }
}

BOOL CHalyardApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {8, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  CWinAppEx::InitInstance();
  AfxInitRichEdit2();
  LoadServerAddresses();

  CHalyardDlg dialog;
  m_pMainWnd = &dialog;
  CCustomCommandLineInfo commandLine;
  ParseCommandLine(commandLine);
  if (commandLine.m_bShowHelp) {
    PrintUsage();
    m_pMainWnd = nullptr;
    return FALSE;
  }
  ApplyStartFlags(commandLine, dialog);
  dialog.DoModal();
  if (afx::Backend* backend = afx::GetBackend()) backend->ReportStatusLog(dialog.GetStatusText());
  m_nExitStatus = dialog.GetExitStatus();
  m_pMainWnd = nullptr;
  return FALSE;
}
