// The text that "koral70 --help" prints: the switches and the exit statuses
// of an unattended run, in the display language.
#pragma once

#include "framework/cstring.h"

CString UsageText();
// Writes UsageText to standard output.
void PrintUsage();
