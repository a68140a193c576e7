// Template 130: the Wi-Fi settings dialog. The creation order decides where
// each radio group ends: a group runs from a WS_GROUP control to the next.
// Tab follows the dialog as it is read instead: the two groups at the top,
// the MAC address below them, then down the dialog to Save and Cancel.
// Everything inside a group box keeps clear of its frame.
#include "framework/resources.h"
#include "res/resource.h"
#include "res/templates.h"

namespace {
using K = ControlKind;
constexpr DWORD V = WS_VISIBLE;
constexpr DWORD T = WS_TABSTOP;
constexpr DWORD G = WS_GROUP;
constexpr DWORD EDIT = WS_BORDER | ES_AUTOHSCROLL;

const DialogItem kItems[] = {
    {IDOK, K::DefPushButton, 7, 170, 90, 14, V | T},
    {IDCANCEL, K::PushButton, 151, 170, 87, 14, V | T},
    {IDC_WIFI_MODE_GROUP, K::GroupBox, 7, 7, 113, 37, V},
    {IDC_WIFI_STANDALONE, K::RadioButton, 14, 17, 102, 10, V | G | T},
    {IDC_WIFI_CLIENT, K::RadioButton, 14, 30, 102, 10, V},
    {IDC_WIFI_SECURITY_GROUP, K::GroupBox, 129, 7, 109, 57, V},
    {IDC_WIFI_OPEN, K::RadioButton, 138, 17, 96, 10, V | G | T},
    {IDC_WIFI_WPA, K::RadioButton, 138, 30, 96, 10, V},
    {IDC_WIFI_WPA2, K::RadioButton, 138, 43, 96, 10, V},
    {IDC_WIFI_SSID_LABEL, K::Static, 7, 75, 56, 8, V | G},
    {IDC_WIFI_SSID, K::Edit, 64, 73, 174, 14, V | T | EDIT},
    {IDC_PASSWORD_LABEL, K::Static, 7, 93, 57, 8, V | G},
    {IDC_PASSWORD, K::Edit, 64, 90, 174, 14, V | T | EDIT | ES_PASSWORD},
    {IDC_WIFI_IP_GROUP, K::GroupBox, 7, 112, 231, 40, V},
    {IDC_WIFI_IP_AUTOMATIC, K::RadioButton, 14, 125, 137, 10, V | G | T},
    {IDC_WIFI_IP_MANUAL, K::RadioButton, 14, 138, 40, 10, V},
    {IDC_WIFI_IP_ADDRESS, K::Edit, 57, 136, 101, 14, V | T | EDIT},
    {IDC_WIFI_RESET, K::PushButton, 7, 153, 231, 14, V | T},
    {IDC_WIFI_SHOW_PASSWORD, K::CheckBox, 162, 105, 76, 10, V | T},
    {IDC_WIFI_MAC_LABEL, K::Static, 7, 46, 113, 8, V | G},
    {IDC_WIFI_MAC_ADDRESS, K::Edit, 7, 56, 113, 14, V | T | EDIT | ES_READONLY},
};

const int kTabOrder[] = {
    IDC_WIFI_STANDALONE,    IDC_WIFI_CLIENT,        IDC_WIFI_OPEN,       IDC_WIFI_WPA,
    IDC_WIFI_WPA2,          IDC_WIFI_MAC_ADDRESS,   IDC_WIFI_SSID,       IDC_PASSWORD,
    IDC_WIFI_SHOW_PASSWORD, IDC_WIFI_IP_AUTOMATIC,  IDC_WIFI_IP_MANUAL,  IDC_WIFI_IP_ADDRESS,
    IDC_WIFI_RESET,         IDOK,                   IDCANCEL,
};
}  // namespace

const DialogTemplate kWiFiDialogTemplate = {
    IDD_WIFI_SETTINGS, 245, 191, L"MS Shell Dlg", 8,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, kItems, sizeof kItems / sizeof kItems[0],
    kTabOrder, sizeof kTabOrder / sizeof kTabOrder[0]};
