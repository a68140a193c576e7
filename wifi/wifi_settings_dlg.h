// CWiFiSettingsDlg: edits the scan tool's Wi-Fi settings file. Both mode
// profiles live in one record; the edits show the current profile, and typed
// text reaches the record on a mode switch or on save. Only Save writes.
#pragma once

#include "framework/afx.h"
#include "wifi/wifi_settings.h"

class CWiFiSettingsDlg : public CDialog {
 public:
  enum { IDD = 130 };  // dialog resource

  CWiFiSettingsDlg();
  ~CWiFiSettingsDlg() override;

  WiFiSettings m_settings = {};
  // The card's serial number for the default network name; single-byte
  // text, not terminated when it fills all 20 bytes.
  char m_szSerial[kWiFiSerialBytes] = {};

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  void SetDialogTexts();
  void ShowSettings(BOOL bSetTexts);
  void ShowSecurity(int value);
  void ShowIpMode(int value);
  // Keeps the typed network name and pass phrase in the profile being left.
  // False, with a message, when they hold characters the record cannot.
  bool KeepTypedTexts();
  void SetSecurity(int value);
  void SetIpMode(int value);

  void OnResetDefaults();
  void OnModeStandalone();
  void OnModeClient();
  void OnSecurityOpen();
  void OnSecurityWpa();
  void OnSecurityWpa2();
  void OnIpAutomatic();
  void OnIpManual();
  void OnShowPassword();
  void OnSave();

  int m_nModeRadio = 0;
  int m_nSecurityRadio = 0;
  int m_nIpModeRadio = 0;
  wchar_t m_chPasswordChar = 0;
  CEdit m_editSsid;
  CEdit m_editPassword;
  CEdit m_editIpAddress;

  DECLARE_MESSAGE_MAP()
};
