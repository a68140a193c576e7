#include "app/main_dialog.h"

#include "core/catalogue.h"
#include "core/product.h"
#include "app/status_channel.h"
#include "core/update_result.h"
#include "platform/system.h"
#include "res/resource.h"
#include "update/credentials.h"
#include "update/self_update.h"

BEGIN_MESSAGE_MAP(CHalyardDlg, CDialog)
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_COMMAND(1000, OnStartUpdate)
  ON_COMMAND(1007, OnChangeUserInfo)
  ON_MESSAGE(WM_JOB_FINISHED, OnJobFinished)
  ON_MESSAGE(WM_STATUS_CHANGED, OnStatusChanged)
  ON_MESSAGE(WM_FILE_PROGRESS, OnFileProgress)
  ON_MESSAGE(WM_LAUNCH_CLIENT, OnLaunchClient)
  ON_COMMAND(1010, OnDownloadManual)
  ON_COMMAND(1012, OnWiFiSettings)
END_MESSAGE_MAP()

CHalyardDlg::CHalyardDlg() : CDialog(IDD_MAIN, nullptr) {
  m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : AfxLoadIcon(IDR_MAINFRAME);
}

CHalyardDlg::~CHalyardDlg() = default;

void CHalyardDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, 1001, m_strStatus);
  DDX_Text(pDX, 1002, m_strSerial);
  DDX_Text(pDX, 1003, m_strPassword);
  DDX_Check(pDX, 1006, m_bUpdateNews);
  DDX_Control(pDX, 1008, m_progressTotal);
  DDX_Control(pDX, 1045, m_progressFile);
  DDX_Text(pDX, 1009, m_strCountText);
  DDX_Text(pDX, 1046, m_strFileText);
  DDX_Control(pDX, 1001, m_editStatus);
}

BOOL CHalyardDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);
  ReadCredentialsFile(this, m_strSerial, m_strPassword);
  GetModuleFileNameW(nullptr, m_szModulePath, 255);
  if (CWnd* start = GetDlgItem(1000)) start->SetFocus();
  SetMainTexts();
  m_bUpdateNews = TRUE;
  UpdateData(FALSE);
  for (int id : {1012, 1008, 1009, 1045, 1046})
    if (CWnd* control = GetDlgItem(id)) control->ShowWindow(SW_HIDE);
  RepairClientSwap();
  if (m_bFinishSelfUpdate) FinishSelfUpdate();
  if (m_bAutoStart) OnStartUpdate();
  return FALSE;
}

void CHalyardDlg::SetMainTexts() {
  CString title;
  title.Format(GetMsg(1), kProductName, kClientVersionText);
  SetWindowText(title);
  const CTRLTEXT texts[] = {{1, 2},    {1000, 3}, {1030, 4}, {1031, 5},  {1032, 6},
                            {1006, 7}, {1007, 8}, {1010, 9}, {1012, 10}, {0, 0}};
  SetControlTexts(texts, this);
}

void CHalyardDlg::OnPaint() {
  if (!IsIconic()) {
    CDialog::OnPaint();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  CRect rect;
  GetClientRect(&rect);
  const int x = (rect.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (rect.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

HICON CHalyardDlg::OnQueryDragIcon() { return m_hIcon; }

int CHalyardDlg::GetExitStatus() const { return m_bBatch ? m_nUpdateResult : 0; }

LRESULT CHalyardDlg::OnJobFinished(WPARAM, LPARAM lParam) {
  // A hand-over's outcome is the window's own: OnLaunchClient has set it.
  if (lParam != kUpdateHandedOver) m_nUpdateResult = static_cast<int>(lParam);
  for (int id : {1000, 1002, 1003, 1006, 1007, 1, 1010})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(TRUE);
  return 0;
}
