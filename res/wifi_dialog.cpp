// Template 130: the Wi-Fi settings dialog.
#include "res/templates.h"

const DialogTemplate kWiFiDialogTemplate = {130, 245, 191, L"MS Shell Dlg", 8,
                                            WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                            0, nullptr, 0};
