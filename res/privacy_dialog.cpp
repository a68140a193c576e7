// Template 131: the privacy-policy consent dialog.
#include "res/templates.h"

const DialogTemplate kPrivacyDialogTemplate = {
    131, 378, 265, L"MS Shell Dlg", 8, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
    0, nullptr, 0};
