// Template 129: the user registration form.
#include "res/templates.h"

const DialogTemplate kRegistrationDialogTemplate = {
    129, 217, 161, L"MS Shell Dlg", 8, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
    0, nullptr, 0};
