// The GUI framework as the program sees it.
#pragma once

#include "framework/app.h"
#include "framework/cstring.h"
#include "framework/dialog.h"
#include "framework/msgmap.h"
#include "framework/resources.h"
#include "framework/window.h"
#include "platform/wintypes.h"
