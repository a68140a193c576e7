// The texts that "koral70 --help" and "koral70 --version" print: the
// switches and the exit statuses of an unattended run, in the display
// language, and the client's name and version.
#pragma once

#include "framework/cstring.h"

CString UsageText();
CString VersionText();
// Writes text to standard output, as UTF-8.
void PrintText(const CString& text);
