#pragma once

#include "framework/resources.h"

extern const DialogTemplate kMainDialogTemplate;
extern const DialogTemplate kRegistrationDialogTemplate;
extern const DialogTemplate kWiFiDialogTemplate;
extern const DialogTemplate kPrivacyDialogTemplate;
