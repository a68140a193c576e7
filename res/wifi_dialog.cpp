// Template 130: the Wi-Fi settings dialog. The creation order decides where
// each radio group ends: a group runs from a WS_GROUP control to the next.
#include "framework/resources.h"
#include "res/templates.h"

namespace {
using K = ControlKind;
constexpr DWORD V = WS_VISIBLE;
constexpr DWORD T = WS_TABSTOP;
constexpr DWORD G = WS_GROUP;
constexpr DWORD EDIT = WS_BORDER | ES_AUTOHSCROLL;

const DialogItem kItems[] = {
    {1, K::DefPushButton, 7, 170, 90, 14, V | T},
    {2, K::PushButton, 151, 170, 87, 14, V | T},
    {1040, K::GroupBox, 7, 7, 113, 37, V},
    {1010, K::RadioButton, 7, 17, 109, 10, V | G | T},
    {1011, K::RadioButton, 7, 30, 113, 10, V},
    {1041, K::GroupBox, 129, 7, 109, 57, V},
    {1012, K::RadioButton, 138, 17, 100, 10, V | G | T},
    {1013, K::RadioButton, 138, 30, 100, 10, V},
    {1014, K::RadioButton, 138, 43, 100, 10, V},
    {1042, K::Static, 7, 75, 56, 8, V | G},
    {1015, K::Edit, 64, 73, 174, 14, V | T | EDIT},
    {1032, K::Static, 7, 93, 57, 8, V | G},
    {1003, K::Edit, 64, 90, 174, 14, V | T | EDIT | ES_PASSWORD},
    {1043, K::GroupBox, 7, 112, 231, 40, V},
    {1017, K::RadioButton, 7, 125, 144, 10, V | G | T},
    {1018, K::RadioButton, 7, 138, 47, 10, V},
    {1019, K::Edit, 57, 137, 101, 14, V | T | EDIT},
    {1007, K::PushButton, 7, 153, 231, 14, V | T},
    {1021, K::CheckBox, 162, 105, 76, 10, V | T},
    {1044, K::Static, 7, 46, 47, 8, V | G},
    {1023, K::Edit, 7, 56, 113, 14, V | T | EDIT | ES_READONLY},
};
}  // namespace

const DialogTemplate kWiFiDialogTemplate = {
    130, 245, 191, L"MS Shell Dlg", 8, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
    kItems, sizeof kItems / sizeof kItems[0]};
