// Shows the Wi-Fi settings dialog on real windows, for screenshots. It runs
// in a scratch folder and first lays out a card whose settings select
// Client mode with WPA2 and a manual address, so every control is enabled
// and filled.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/gui/preview_support.h"
#include "wifi/wifi_settings_dlg.h"
#include "wifi/wifi_settings_file.h"

namespace {
void LayOutPreviewCard() {
  std::filesystem::create_directory("wifi");
  std::ofstream("wifi/mac.txt") << "00:1A:2B:3C:4D:5E\n";
  WiFiSettings settings;
  SetDefaultWiFiSettings(settings, "A12345678");
  settings.nMode = kModeClient;
  StoreTextField(settings.szClientSsid, L"Workshop-Network");
  StoreTextField(settings.szClientPassword, L"correct horse");
  settings.nClientSecurity = kSecurityWpa2;
  settings.nClientIpMode = kIpManual;
  settings.dwClientIpAddress = 0xC0A8000A;
  WriteWiFiSettings(settings);
}
}  // namespace

int main(int argc, char** argv) {
  LayOutPreviewCard();
  return RunDialogPreview(argc, argv, [] {
    CWiFiSettingsDlg dialog;
    std::memcpy(dialog.m_szSerial, "A12345678", 9);
    dialog.DoModal();
  });
}
