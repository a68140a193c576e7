#include "app/main_dialog.h"

#include "core/catalogue.h"
#include "core/product.h"
#include "app/status_channel.h"
#include "app/stop_requests.h"
#include "core/update_result.h"
#include "platform/system.h"
#include "platform/text.h"
#include "res/resource.h"
#include "update/credentials.h"
#include "update/self_update.h"

BEGIN_MESSAGE_MAP(CHalyardDlg, CDialog)
  ON_COMMAND(IDC_START_UPDATE, OnStartUpdate)
  ON_COMMAND(IDC_CHANGE_USER_INFO, OnChangeUserInfo)
  ON_MESSAGE(WM_JOB_FINISHED, OnJobFinished)
  ON_MESSAGE(WM_STATUS_CHANGED, OnStatusChanged)
  ON_MESSAGE(WM_FILE_PROGRESS, OnFileProgress)
  ON_MESSAGE(WM_LAUNCH_CLIENT, OnLaunchClient)
  ON_MESSAGE(WM_STOP_REQUEST, OnStopRequest)
  ON_COMMAND(IDC_DOWNLOAD_MANUAL, OnDownloadManual)
  ON_COMMAND(IDC_WIFI_SETTINGS, OnWiFiSettings)
END_MESSAGE_MAP()

CHalyardDlg::CHalyardDlg() : CDialog(IDD_MAIN, nullptr) {
  m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : AfxLoadIcon(IDR_MAINFRAME);
}

CHalyardDlg::~CHalyardDlg() = default;

void CHalyardDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_STATUS_LOG, m_strStatus);
  DDX_Text(pDX, IDC_SERIAL, m_strSerial);
  DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
  DDX_Check(pDX, IDC_UPDATE_NEWS, m_bUpdateNews);
  DDX_Control(pDX, IDC_COUNT_BAR, m_progressTotal);
  DDX_Control(pDX, IDC_FILE_BAR, m_progressFile);
  DDX_Text(pDX, IDC_COUNT_TEXT, m_strCountText);
  DDX_Text(pDX, IDC_FILE_TEXT, m_strFileText);
  DDX_Control(pDX, IDC_STATUS_LOG, m_editStatus);
}

BOOL CHalyardDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetStopRequestWindow(GetSafeHwnd());
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);
  if (ReadCredentialsFile(m_strSerial, m_strPassword)) UpdateData(FALSE);
  GetModuleFileNameW(nullptr, m_szModulePath, 255);
  if (CWnd* start = GetDlgItem(IDC_START_UPDATE)) start->SetFocus();
  SetMainTexts();
  m_bUpdateNews = TRUE;
  UpdateData(FALSE);
  for (int id : {IDC_WIFI_SETTINGS, IDC_COUNT_BAR, IDC_COUNT_TEXT, IDC_FILE_BAR, IDC_FILE_TEXT})
    if (CWnd* control = GetDlgItem(id)) control->ShowWindow(SW_HIDE);
  RepairClientSwap();
  if (m_bFinishSelfUpdate && !m_bProgramOffCard) FinishSelfUpdate();
  if (m_bAutoStart) OnStartUpdate();
  return FALSE;
}

void CHalyardDlg::SetMainTexts() {
  CString title;
  title.Format(GetMsg(Msg::kWindowTitle), kProductName, kClientVersionText);
  SetWindowText(title);
  const CTRLTEXT texts[] = {{IDOK, MsgId(Msg::kExit)},
                            {IDC_START_UPDATE, MsgId(Msg::kStartUpdate)},
                            {IDC_STATUS_LABEL, MsgId(Msg::kStatusLabel)},
                            {IDC_SERIAL_LABEL, MsgId(Msg::kSerialLabel)},
                            {IDC_PASSWORD_LABEL, MsgId(Msg::kPasswordLabel)},
                            {IDC_UPDATE_NEWS, MsgId(Msg::kUpdateNews)},
                            {IDC_CHANGE_USER_INFO, MsgId(Msg::kChangeUserInfo)},
                            {IDC_DOWNLOAD_MANUAL, MsgId(Msg::kDownloadManual)},
                            {IDC_WIFI_SETTINGS, MsgId(Msg::kWiFiSettings)},
                            {0, 0}};
  SetControlTexts(texts, this);
}

int CHalyardDlg::GetExitStatus() const { return m_bBatch ? m_nUpdateResult : 0; }

LRESULT CHalyardDlg::OnJobFinished(WPARAM, LPARAM lParam) {
  // A hand-over's outcome is the window's own: OnLaunchClient has set it.
  if (lParam != kUpdateHandedOver) m_nUpdateResult = static_cast<int>(lParam);
  m_bJobRunning = false;
  for (int id : {IDC_START_UPDATE, IDC_SERIAL, IDC_PASSWORD, IDC_UPDATE_NEWS, IDC_CHANGE_USER_INFO,
                 IDOK, IDC_DOWNLOAD_MANUAL})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(TRUE);
  if (m_bCloseWhenFinished) {
    m_nUpdateResult = kUpdateNotFinished;
    EndDialog(IDCANCEL);
  }
  return 0;
}

void CHalyardDlg::OnCancel() {
  if (!m_bJobRunning) {
    CDialog::OnCancel();
    return;
  }
  if (m_bCloseWhenFinished) return;  // stopping already
  // No is the default: a Return meant for the window does not stop the update.
  if (AfxMessageBox(GetMsg(Msg::kStopAndClose), MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION) != IDYES)
    return;
  StopJobAndClose(GetMsg(Msg::kStoppedByUser));
}

LRESULT CHalyardDlg::OnStopRequest(WPARAM name, LPARAM fromKeyboard) {
  if (!m_bJobRunning) {
    EndDialog(IDCANCEL);
    return 0;
  }
  if (m_bCloseWhenFinished) return 0;  // stopping already
  // Ctrl-C is the user's own request; the others are the system's.
  CString line = GetMsg(Msg::kStoppedByUser);
  if (!fromKeyboard)
    line.Format(GetMsg(Msg::kStoppedBySystem), WideFromUtf8(reinterpret_cast<const char*>(name)).c_str());
  StopJobAndClose(line);
  return 0;
}

void CHalyardDlg::StopJobAndClose(const CString& stopLine) {
  // The job ends its transfer at the next progress callback, drops the file
  // it was writing and says in the status log what it did.
  m_bCloseWhenFinished = true;
  RequestJobCancel(stopLine);
}
