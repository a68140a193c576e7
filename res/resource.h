// Resource ids of the program's dialogs, their controls and the icon. The
// templates in res/, the dialogs' code and the tests name controls by these.
// Ids are unique within a dialog; dialogs reuse numbers, and a control of the
// same meaning in two dialogs shares its name.
#pragma once

constexpr unsigned IDD_MAIN = 102;
constexpr unsigned IDD_REGISTRATION = 129;
constexpr unsigned IDD_WIFI_SETTINGS = 130;
constexpr unsigned IDD_PRIVACY_POLICY = 131;
constexpr unsigned IDR_MAINFRAME = 128;

// Main window (IDD_MAIN); IDOK is its close button.
constexpr int IDC_START_UPDATE = 1000;
constexpr int IDC_STATUS_LOG = 1001;
constexpr int IDC_SERIAL = 1002;
constexpr int IDC_PASSWORD = 1003;  // also the Wi-Fi pass phrase
constexpr int IDC_UPDATE_NEWS = 1006;
constexpr int IDC_CHANGE_USER_INFO = 1007;
constexpr int IDC_COUNT_BAR = 1008;
constexpr int IDC_COUNT_TEXT = 1009;
constexpr int IDC_DOWNLOAD_MANUAL = 1010;
constexpr int IDC_WIFI_SETTINGS = 1012;
constexpr int IDC_STATUS_LABEL = 1030;
constexpr int IDC_SERIAL_LABEL = 1031;
constexpr int IDC_PASSWORD_LABEL = 1032;  // also in the Wi-Fi dialog
constexpr int IDC_FILE_BAR = 1045;
constexpr int IDC_FILE_TEXT = 1046;

// Registration form (IDD_REGISTRATION); IDOK sends, IDCANCEL cancels. The
// postal-code label is IDC_STATIC.
constexpr int IDC_REG_NAME = 1004;
constexpr int IDC_REG_COMPANY = 1005;
constexpr int IDC_REG_ADDRESS1 = 1006;
constexpr int IDC_REG_ADDRESS2 = 1007;
constexpr int IDC_REG_PHONE = 1008;
constexpr int IDC_REG_FAX = 1009;
constexpr int IDC_REG_EMAIL = 1010;
constexpr int IDC_REG_ZIP = 1011;
constexpr int IDC_REG_DISTRIBUTOR = 1013;
constexpr int IDC_REG_NAME_LABEL = 1033;
constexpr int IDC_REG_COMPANY_LABEL = 1034;
constexpr int IDC_REG_ADDRESS_LABEL = 1035;
constexpr int IDC_REG_PHONE_LABEL = 1036;
constexpr int IDC_REG_FAX_LABEL = 1037;
constexpr int IDC_REG_EMAIL_LABEL = 1038;
constexpr int IDC_REG_DISTRIBUTOR_LABEL = 1039;

// Wi-Fi settings (IDD_WIFI_SETTINGS); IDOK saves, IDCANCEL cancels. The
// pass phrase and its label are IDC_PASSWORD and IDC_PASSWORD_LABEL.
constexpr int IDC_WIFI_RESET = 1007;
constexpr int IDC_WIFI_STANDALONE = 1010;
constexpr int IDC_WIFI_CLIENT = 1011;
constexpr int IDC_WIFI_OPEN = 1012;
constexpr int IDC_WIFI_WPA = 1013;
constexpr int IDC_WIFI_WPA2 = 1014;
constexpr int IDC_WIFI_SSID = 1015;
constexpr int IDC_WIFI_IP_AUTOMATIC = 1017;
constexpr int IDC_WIFI_IP_MANUAL = 1018;
constexpr int IDC_WIFI_IP_ADDRESS = 1019;
constexpr int IDC_WIFI_SHOW_PASSWORD = 1021;
constexpr int IDC_WIFI_MAC_ADDRESS = 1023;
constexpr int IDC_WIFI_MODE_GROUP = 1040;
constexpr int IDC_WIFI_SECURITY_GROUP = 1041;
constexpr int IDC_WIFI_SSID_LABEL = 1042;
constexpr int IDC_WIFI_IP_GROUP = 1043;
constexpr int IDC_WIFI_MAC_LABEL = 1044;

// Privacy-policy consent (IDD_PRIVACY_POLICY); IDOK agrees, IDCANCEL declines.
constexpr int IDC_POLICY_INSTRUCTIONS = 1029;
constexpr int IDC_POLICY_VIEW = 1047;

// Registers every dialog template and icon with the framework.
void RegisterProgramResources();
