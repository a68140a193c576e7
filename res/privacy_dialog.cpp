// Template 131: the privacy-policy consent dialog. Accept (1) is disabled at
// run time until the policy has been viewed. The buttons are as wide as
// their Japanese captions need, the view button still centred.
#include "res/resource.h"
#include "res/templates.h"

namespace {
using K = ControlKind;
constexpr DWORD V = WS_VISIBLE;
constexpr DWORD T = WS_TABSTOP;

const DialogItem kItems[] = {
    {IDC_POLICY_INSTRUCTIONS, K::RichEdit, 7, 7, 364, 100,
     V | ES_MULTILINE | ES_CENTER | WS_VSCROLL | WS_BORDER},
    {IDC_POLICY_VIEW, K::PushButton, 133, 120, 112, 14, V | T},
    {IDOK, K::DefPushButton, 7, 244, 58, 14, V | T},
    {IDCANCEL, K::PushButton, 313, 244, 58, 14, V | T},
};
}  // namespace

const DialogTemplate kPrivacyDialogTemplate = {
    IDD_PRIVACY_POLICY, 378, 265, L"MS Shell Dlg", 8,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, kItems, sizeof kItems / sizeof kItems[0]};
