#pragma once

#include "core/catalogue.h"

extern const MSGENTRY g_msgEnglish[];
extern const MSGENTRY g_msgJapanese[];
