// Template 102: the main window. Its right-hand column is 95 units wide (the
// window 314), so that the longest Japanese and English captions of its
// buttons fit with the padding of GTK's buttons too.
#include "framework/resources.h"
#include "res/resource.h"
#include "res/templates.h"

namespace {
using K = ControlKind;
constexpr DWORD V = WS_VISIBLE;
constexpr DWORD T = WS_TABSTOP;

const DialogItem kItems[] = {
    {IDOK, K::PushButton, 212, 194, 95, 28, V | T},
    {IDC_START_UPDATE, K::DefPushButton, 211, 70, 96, 28, V | T},
    {IDC_STATUS_LOG, K::Edit, 7, 18, 195, 143, V | T | ES_MULTILINE | WS_VSCROLL | WS_BORDER},
    {IDC_STATUS_LABEL, K::Static, 7, 7, 196, 8, V},
    {IDC_SERIAL_LABEL, K::Static, 210, 7, 97, 8, V},
    {IDC_SERIAL, K::Edit, 211, 19, 96, 14, V | T | WS_BORDER | ES_AUTOHSCROLL},
    {IDC_PASSWORD_LABEL, K::Static, 212, 36, 95, 8, V},
    {IDC_PASSWORD, K::Edit, 211, 47, 96, 14, V | T | WS_BORDER | ES_PASSWORD | ES_AUTOHSCROLL},
    {IDC_UPDATE_NEWS, K::CheckBox, 213, 105, 94, 10, V | T},
    {IDC_CHANGE_USER_INFO, K::PushButton, 212, 125, 95, 14, V | T},
    {IDC_FILE_TEXT, K::Static, 7, 174, 196, 8, 0},
    {IDC_FILE_BAR, K::Progress, 7, 186, 196, 5, WS_BORDER},
    {IDC_COUNT_TEXT, K::Static, 7, 204, 196, 8, 0},
    {IDC_COUNT_BAR, K::Progress, 7, 216, 196, 5, WS_BORDER},
    {IDC_DOWNLOAD_MANUAL, K::PushButton, 212, 145, 95, 14, V | T},
    {IDC_WIFI_SETTINGS, K::PushButton, 212, 165, 95, 14, T},
};
}  // namespace

const DialogTemplate kMainDialogTemplate = {
    IDD_MAIN, 314, 228, L"MS Shell Dlg", 8, WS_POPUP | WS_CAPTION | DS_MODALFRAME, WS_EX_APPWINDOW,
    kItems, sizeof kItems / sizeof kItems[0]};
