// Template 129: the user registration form.
#include "res/resource.h"
#include "res/templates.h"

namespace {
using K = ControlKind;
constexpr DWORD V = WS_VISIBLE;
constexpr DWORD T = WS_TABSTOP;
constexpr DWORD E = V | T | ES_AUTOHSCROLL | WS_BORDER;

const DialogItem kItems[] = {
    {IDC_REG_NAME_LABEL, K::Static, 7, 6, 105, 8, V},
    {IDC_REG_NAME, K::Edit, 7, 18, 105, 14, E},
    {IDC_REG_COMPANY_LABEL, K::Static, 7, 34, 106, 8, V},
    {IDC_REG_COMPANY, K::Edit, 7, 45, 105, 14, E},
    {IDC_REG_DISTRIBUTOR_LABEL, K::Static, 7, 64, 106, 8, V},
    {IDC_REG_DISTRIBUTOR, K::Edit, 7, 76, 105, 14, E},
    {IDC_REG_ADDRESS_LABEL, K::Static, 7, 94, 105, 8, V},
    {IDC_STATIC, K::Static, 7, 108, 17, 8, V},
    {IDC_REG_ZIP, K::Edit, 25, 105, 48, 14, E},
    {IDC_REG_ADDRESS1, K::Edit, 7, 123, 105, 14, E},
    {IDC_REG_ADDRESS2, K::Edit, 7, 140, 105, 14, E},
    {IDC_REG_PHONE_LABEL, K::Static, 124, 6, 86, 8, V},
    {IDC_REG_PHONE, K::Edit, 124, 18, 85, 14, E},
    {IDC_REG_FAX_LABEL, K::Static, 124, 34, 86, 8, V},
    {IDC_REG_FAX, K::Edit, 124, 45, 85, 14, E},
    {IDC_REG_EMAIL_LABEL, K::Static, 124, 64, 86, 8, V},
    {IDC_REG_EMAIL, K::Edit, 124, 76, 85, 14, E},
    {IDOK, K::DefPushButton, 123, 139, 41, 15, V | T},
    {IDCANCEL, K::PushButton, 170, 139, 40, 15, V | T},
};
}  // namespace

const DialogTemplate kRegistrationDialogTemplate = {
    IDD_REGISTRATION, 217, 161, L"MS Shell Dlg", 8,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, kItems, sizeof kItems / sizeof kItems[0]};
