// Template 102: the main window.
#include "framework/resources.h"
#include "res/templates.h"

namespace {
using K = ControlKind;
constexpr DWORD V = WS_VISIBLE;
constexpr DWORD T = WS_TABSTOP;

const DialogItem kItems[] = {
    {1, K::PushButton, 212, 194, 81, 28, V | T},
    {1000, K::DefPushButton, 211, 70, 82, 28, V | T},
    {1001, K::Edit, 7, 18, 195, 143, V | T | ES_MULTILINE | WS_VSCROLL | WS_BORDER},
    {1030, K::Static, 7, 7, 196, 8, V},
    {1031, K::Static, 210, 7, 83, 8, V},
    {1002, K::Edit, 211, 19, 82, 14, V | T | WS_BORDER | ES_AUTOHSCROLL},
    {1032, K::Static, 212, 36, 81, 8, V},
    {1003, K::Edit, 211, 47, 82, 14, V | T | WS_BORDER | ES_PASSWORD | ES_AUTOHSCROLL},
    {1006, K::CheckBox, 213, 105, 80, 10, V | T},
    {1007, K::PushButton, 212, 125, 81, 14, V | T},
    {1046, K::Static, 7, 174, 196, 8, 0},
    {1045, K::Progress, 7, 186, 196, 5, WS_BORDER},
    {1009, K::Static, 7, 204, 64, 8, 0},
    {1008, K::Progress, 7, 216, 196, 5, WS_BORDER},
    {1010, K::PushButton, 212, 145, 81, 14, V | T},
    {1012, K::PushButton, 212, 165, 81, 14, T},
};
}  // namespace

const DialogTemplate kMainDialogTemplate = {
    102, 300, 228, L"MS Shell Dlg", 8, WS_POPUP | WS_CAPTION | DS_MODALFRAME, WS_EX_APPWINDOW,
    kItems, sizeof kItems / sizeof kItems[0]};
