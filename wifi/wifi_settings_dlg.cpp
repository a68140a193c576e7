#include "wifi/wifi_settings_dlg.h"

#include "core/catalogue.h"
#include "res/resource.h"
#include "wifi/ip_address.h"
#include "wifi/wifi_settings_file.h"

namespace {
const wchar_t kNetworkNameEmpty[] = L"Error: Network name is empty";
const wchar_t kInvalidIpAddress[] = L"Invalid IP address";
const wchar_t kPasswordEmpty[] = L"Error: password is empty";
const wchar_t kSavingFailed[] = L"Error saving settings";
const wchar_t kUnstorableText[] =
    L"Error: Network name and password can only contain Latin-1 characters";

constexpr int kIpControls[] = {IDC_WIFI_IP_ADDRESS, IDC_WIFI_IP_AUTOMATIC, IDC_WIFI_IP_MANUAL};

// The text fields and security of one mode's profile.
struct Profile {
  char (*ssid)[kWiFiTextBytes];
  char (*password)[kWiFiTextBytes];
  std::int32_t* security;
};

Profile StandaloneProfile(WiFiSettings& s) {
  return {&s.szStandaloneSsid, &s.szStandalonePassword, &s.nStandaloneSecurity};
}
Profile ClientProfile(WiFiSettings& s) {
  return {&s.szClientSsid, &s.szClientPassword, &s.nClientSecurity};
}

// The profile that nMode names; false for a mode that names none.
bool CurrentProfile(WiFiSettings& s, Profile& profile) {
  if (s.nMode == kModeStandalone) profile = StandaloneProfile(s);
  else if (s.nMode == kModeClient) profile = ClientProfile(s);
  else return false;
  return true;
}

void ShowError(const wchar_t* text) { AfxMessageBox(text, MB_OK); }
}  // namespace

BEGIN_MESSAGE_MAP(CWiFiSettingsDlg, CDialog)
  ON_COMMAND(IDC_WIFI_RESET, OnResetDefaults)
  ON_COMMAND(IDC_WIFI_STANDALONE, OnModeStandalone)
  ON_COMMAND(IDC_WIFI_CLIENT, OnModeClient)
  ON_COMMAND(IDC_WIFI_OPEN, OnSecurityOpen)
  ON_COMMAND(IDC_WIFI_WPA, OnSecurityWpa)
  ON_COMMAND(IDC_WIFI_WPA2, OnSecurityWpa2)
  ON_COMMAND(IDC_WIFI_IP_AUTOMATIC, OnIpAutomatic)
  ON_COMMAND(IDC_WIFI_IP_MANUAL, OnIpManual)
  ON_COMMAND(IDC_WIFI_SHOW_PASSWORD, OnShowPassword)
  ON_COMMAND(IDOK, OnSave)
END_MESSAGE_MAP()

CWiFiSettingsDlg::CWiFiSettingsDlg() : CDialog(IDD, nullptr) {}

CWiFiSettingsDlg::~CWiFiSettingsDlg() = default;

void CWiFiSettingsDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_WIFI_SSID, m_editSsid);
  DDX_Control(pDX, IDC_PASSWORD, m_editPassword);
  DDX_Control(pDX, IDC_WIFI_IP_ADDRESS, m_editIpAddress);
  DDX_Radio(pDX, IDC_WIFI_STANDALONE, m_nModeRadio);
  DDX_Radio(pDX, IDC_WIFI_OPEN, m_nSecurityRadio);
  DDX_Radio(pDX, IDC_WIFI_IP_AUTOMATIC, m_nIpModeRadio);
}

BOOL CWiFiSettingsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDialogTexts();
  LoadWiFiSettings(m_settings, m_szSerial);
  // The line end that closes the address in its file is not shown with it.
  std::wstring mac = ReadMacAddressText().str();
  if (!mac.empty() && mac.back() == L'\n') mac.pop_back();
  if (!mac.empty())
    if (CWnd* control = GetDlgItem(IDC_WIFI_MAC_ADDRESS)) control->SetWindowText(mac.c_str());
  ShowSettings(TRUE);
  m_chPasswordChar = m_editPassword.GetPasswordChar();
  return TRUE;
}

void CWiFiSettingsDlg::SetDialogTexts() {
  SetWindowText(GetMsg(Msg::kWiFiSettings));
  const CTRLTEXT texts[] = {{IDOK, MsgId(Msg::kSave)},
                            {IDCANCEL, MsgId(Msg::kCancel)},
                            {IDC_WIFI_MODE_GROUP, MsgId(Msg::kOperationMode)},
                            {IDC_WIFI_STANDALONE, MsgId(Msg::kModeStandalone)},
                            {IDC_WIFI_CLIENT, MsgId(Msg::kModeClient)},
                            {IDC_WIFI_SECURITY_GROUP, MsgId(Msg::kSecurity)},
                            {IDC_WIFI_OPEN, MsgId(Msg::kSecurityOpen)},
                            {IDC_WIFI_WPA, MsgId(Msg::kSecurityWpa)},
                            {IDC_WIFI_WPA2, MsgId(Msg::kSecurityWpa2)},
                            {IDC_WIFI_SSID_LABEL, MsgId(Msg::kSsid)},
                            {IDC_PASSWORD_LABEL, MsgId(Msg::kPasswordLabel)},
                            {IDC_WIFI_IP_GROUP, MsgId(Msg::kIpAddress)},
                            {IDC_WIFI_IP_AUTOMATIC, MsgId(Msg::kAddressAutomatic)},
                            {IDC_WIFI_IP_MANUAL, MsgId(Msg::kAddressManual)},
                            {IDC_WIFI_RESET, MsgId(Msg::kResetToDefaults)},
                            {IDC_WIFI_SHOW_PASSWORD, MsgId(Msg::kShowPassword)},
                            {IDC_WIFI_MAC_LABEL, MsgId(Msg::kMacAddress)},
                            {0, 0}};
  SetControlTexts(texts, this);
}

void CWiFiSettingsDlg::ShowSettings(BOOL bSetTexts) {
  CString ssid;
  CString password;
  const bool client = m_settings.nMode == kModeClient;
  Profile profile;
  if (CurrentProfile(m_settings, profile)) {
    m_nModeRadio = client ? 1 : 0;
    for (int id : kIpControls)
      if (CWnd* control = GetDlgItem(id)) control->EnableWindow(client);
    ShowSecurity(*profile.security);
    ssid = TextOfField(*profile.ssid);
    password = TextOfField(*profile.password);
    if (client) ShowIpMode(m_settings.nClientIpMode);
  } else {
    // A mode that names no profile: no mode is selected until the user picks one.
    m_nModeRadio = -1;
    for (int id : kIpControls)
      if (CWnd* control = GetDlgItem(id)) control->EnableWindow(FALSE);
  }
  if (bSetTexts) {
    m_editSsid.SetWindowText(ssid);
    m_editPassword.SetWindowText(password);
  }
  UpdateData(FALSE);
}

void CWiFiSettingsDlg::ShowSecurity(int value) {
  switch (value) {
    case kSecurityOpen: m_nSecurityRadio = 0; break;
    case kSecurityWpa: m_nSecurityRadio = 1; break;
    case kSecurityWpa2:
    case 3: m_nSecurityRadio = 2; break;
    default: return;
  }
  const BOOL enable = m_nSecurityRadio != 0;
  m_editPassword.EnableWindow(enable);
  if (CWnd* check = GetDlgItem(IDC_WIFI_SHOW_PASSWORD)) check->EnableWindow(enable);
}

void CWiFiSettingsDlg::ShowIpMode(int value) {
  if (value == kIpAutomatic) {
    m_nIpModeRadio = 0;
    m_editIpAddress.EnableWindow(FALSE);
  } else if (value == kIpManual) {
    m_nIpModeRadio = 1;
    m_editIpAddress.EnableWindow(TRUE);
    m_editIpAddress.SetWindowText(FormatIpAddress(m_settings.dwClientIpAddress));
  }
}

bool CWiFiSettingsDlg::KeepTypedTexts() {
  Profile profile;
  if (!CurrentProfile(m_settings, profile)) return true;
  CString ssid;
  CString password;
  m_editSsid.GetWindowText(ssid);
  m_editPassword.GetWindowText(password);
  const bool keepPassword = *profile.security != kSecurityOpen;
  if (!IsStorableText(ssid) || (keepPassword && !IsStorableText(password))) {
    // Cutting the text down would lose what the user typed: stay in this mode.
    ShowError(kUnstorableText);
    ShowSettings(FALSE);
    return false;
  }
  if (!ssid.IsEmpty()) StoreTextField(*profile.ssid, ssid);
  if (keepPassword) StoreTextField(*profile.password, password);
  return true;
}

void CWiFiSettingsDlg::OnModeStandalone() {
  UpdateData(TRUE);
  if (m_settings.nMode == kModeClient && !KeepTypedTexts()) return;
  m_settings.nMode = kModeStandalone;
  ShowSettings(TRUE);
}

void CWiFiSettingsDlg::OnModeClient() {
  UpdateData(TRUE);
  if (m_settings.nMode == kModeStandalone && !KeepTypedTexts()) return;
  m_settings.nMode = kModeClient;
  ShowSettings(TRUE);
}

void CWiFiSettingsDlg::SetSecurity(int value) {
  UpdateData(TRUE);
  Profile profile;
  if (CurrentProfile(m_settings, profile)) *profile.security = value;
  ShowSettings(FALSE);
}

void CWiFiSettingsDlg::OnSecurityOpen() { SetSecurity(kSecurityOpen); }
void CWiFiSettingsDlg::OnSecurityWpa() { SetSecurity(kSecurityWpa); }
void CWiFiSettingsDlg::OnSecurityWpa2() { SetSecurity(kSecurityWpa2); }

void CWiFiSettingsDlg::SetIpMode(int value) {
  UpdateData(TRUE);
  m_settings.nClientIpMode = value;
  ShowSettings(FALSE);
}

void CWiFiSettingsDlg::OnIpAutomatic() { SetIpMode(kIpAutomatic); }
void CWiFiSettingsDlg::OnIpManual() { SetIpMode(kIpManual); }

void CWiFiSettingsDlg::OnShowPassword() {
  UpdateData(TRUE);
  const bool show = IsDlgButtonChecked(IDC_WIFI_SHOW_PASSWORD) == BST_CHECKED;
  m_editPassword.SetPasswordChar(show ? 0 : m_chPasswordChar);
  UpdateData(FALSE);
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CWiFiSettingsDlg::OnResetDefaults() {
  UpdateData(TRUE);
  SetDefaultWiFiSettings(m_settings, m_szSerial);
  ShowSettings(TRUE);
}

void CWiFiSettingsDlg::OnSave() {
  UpdateData(TRUE);
  CString ssid;
  m_editSsid.GetWindowText(ssid);
  if (ssid.IsEmpty()) return ShowError(kNetworkNameEmpty);
  if (!IsStorableText(ssid)) return ShowError(kUnstorableText);

  // Any mode other than Standalone saves as Client and keeps its stored value.
  const bool standalone = m_settings.nMode == kModeStandalone;
  const Profile profile = standalone ? StandaloneProfile(m_settings) : ClientProfile(m_settings);
  StoreTextField(*profile.ssid, ssid);
  if (!standalone) {
    if (m_settings.nClientIpMode == kIpManual) {
      CString address;
      m_editIpAddress.GetWindowText(address);
      if (ParseIpAddress(address, m_settings.dwClientIpAddress) != 0)
        return ShowError(kInvalidIpAddress);
    } else {
      m_settings.dwClientIpAddress = 0;
    }
    m_settings.nClientIpMode = m_nIpModeRadio;
  }
  *profile.security = m_nSecurityRadio;

  // With security open the profile's stored pass phrase stays as it was.
  if (m_nSecurityRadio != 0) {
    CString password;
    m_editPassword.GetWindowText(password);
    if (password.IsEmpty()) return ShowError(kPasswordEmpty);
    if (!IsStorableText(password)) return ShowError(kUnstorableText);
    StoreTextField(*profile.password, password);
  }
  if (!WriteWiFiSettings(m_settings)) return ShowError(kSavingFailed);
  CDialog::OnOK();
}
