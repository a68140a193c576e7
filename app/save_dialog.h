// The save dialog that jobs ask for through their reporter.
#pragma once

#include "framework/app.h"

// No owner, starting with the suggested name, showing the filter's files
// ("Description|pattern|...||"), asking before it overwrites a file, leaving
// the current directory alone, titled "Save As" in the display language.
CFileDialog JobSaveDialog(const CString& suggestedName, const CString& filter);
