#include <cstdlib>
#include <cstring>

#include "app/main_dialog.h"
#include "wifi/wifi_settings_dlg.h"

// Reachable by command IDC_WIFI_SETTINGS only: its button stays hidden for the whole run.
void CHalyardDlg::OnWiFiSettings() {
  CWiFiSettingsDlg dialog;
  // The serial number as single-byte text, cut at the field's 20 bytes; a
  // serial that has no single-byte form leaves the field empty.
  if (std::wcstombs(dialog.m_szSerial, m_strSerial, sizeof dialog.m_szSerial) ==
      static_cast<size_t>(-1))
    std::memset(dialog.m_szSerial, 0, sizeof dialog.m_szSerial);
  dialog.DoModal();
}
