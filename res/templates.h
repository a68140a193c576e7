#pragma once

#include "framework/resources.h"

extern const DialogTemplate kMainDialogTemplate;
