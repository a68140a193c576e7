// Template 129: the user registration form.
#include "res/templates.h"

namespace {
using K = ControlKind;
constexpr DWORD V = WS_VISIBLE;
constexpr DWORD T = WS_TABSTOP;
constexpr DWORD E = V | T | ES_AUTOHSCROLL | WS_BORDER;

const DialogItem kItems[] = {
    {1033, K::Static, 7, 6, 105, 8, V},
    {1004, K::Edit, 7, 18, 105, 14, E},
    {1034, K::Static, 7, 34, 106, 8, V},
    {1005, K::Edit, 7, 45, 105, 14, E},
    {1039, K::Static, 7, 64, 106, 8, V},
    {1013, K::Edit, 7, 76, 105, 14, E},
    {1035, K::Static, 7, 94, 105, 8, V},
    {-1, K::Static, 7, 108, 17, 8, V},
    {1011, K::Edit, 25, 105, 48, 14, E},
    {1006, K::Edit, 7, 123, 105, 14, E},
    {1007, K::Edit, 7, 140, 105, 14, E},
    {1036, K::Static, 124, 6, 86, 8, V},
    {1008, K::Edit, 124, 18, 85, 14, E},
    {1037, K::Static, 124, 34, 86, 8, V},
    {1009, K::Edit, 124, 45, 85, 14, E},
    {1038, K::Static, 124, 64, 86, 8, V},
    {1010, K::Edit, 124, 76, 85, 14, E},
    {1, K::DefPushButton, 123, 139, 41, 15, V | T},
    {2, K::PushButton, 172, 139, 38, 15, V | T},
};
}  // namespace

const DialogTemplate kRegistrationDialogTemplate = {
    129, 217, 161, L"MS Shell Dlg", 8, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
    0, kItems, sizeof kItems / sizeof kItems[0]};
