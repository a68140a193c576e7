#include "app/application.h"

#include "app/card_folder.h"
#include "app/command_line.h"
#include "app/main_dialog.h"
#include "app/stop_requests.h"
#include "app/usage.h"
#include "core/catalogue.h"
#include "core/product.h"
#include "core/update_result.h"
#include "framework/backend.h"

namespace {
// How long a client started to finish a self-update waits for its
// predecessor, which ends right after starting it.
constexpr std::uint32_t kHandOverWaitMs = 10000;
}  // namespace

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

CHalyardApp::CHalyardApp() : CWinApp(kProductName) {}

BOOL CHalyardApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {8, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  CWinApp::InitInstance();
  LoadServerAddresses();

  CHalyardDlg dialog;
  m_pMainWnd = &dialog;
  CCustomCommandLineInfo commandLine;
  ParseCommandLine(commandLine);
  if (commandLine.m_bShowHelp || commandLine.m_bShowVersion) {
    PrintText(commandLine.m_bShowHelp ? UsageText() : VersionText());
    m_pMainWnd = nullptr;
    return FALSE;
  }
  ApplyStartFlags(commandLine, dialog);
  // A request to end the program before the window shows needs no care:
  // nothing has been changed yet.
  WatchForStopRequests(commandLine.m_bBatch ? kUpdateNotFinished : 0);
  const CardStart start = EnterCardFolder();
  if (start == CardStart::kNoCard) {
    m_nExitStatus = commandLine.m_bBatch ? kUpdateNoCard : 0;
    m_pMainWnd = nullptr;
    return FALSE;
  }
  dialog.m_bProgramOffCard = start == CardStart::kProgramOffCard;
  // A new client waits for the one that started it to end and let the card
  // go; any other start finds the card free or leaves it alone.
  if (!m_cardLock.Acquire(commandLine.m_bSelfUpdated ? kHandOverWaitMs : 0)) {
    AfxMessageBox(GetMsg(Msg::kCardBusy), MB_ICONEXCLAMATION);
    m_nExitStatus = commandLine.m_bBatch ? kUpdateCardBusy : 0;
    m_pMainWnd = nullptr;
    return FALSE;
  }
  dialog.DoModal();
  SetStopRequestWindow(nullptr);
  if (afx::Backend* backend = afx::GetBackend()) backend->ReportStatusLog(dialog.GetStatusText());
  m_nExitStatus = dialog.GetExitStatus();
  m_pMainWnd = nullptr;
  return FALSE;
}
