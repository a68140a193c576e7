// ShellExecute with the verb "open": documents and URLs go to the desktop's
// opener (xdg-open; on Windows the shell's own ShellExecuteW); a program (a
// ".exe" file of the card, or an executable file) is spawned directly,
// detached, in the current directory. Headless runs print every open and
// launch no document. Results follow Windows: a value above 32 is success.
// On Windows these stand in for <shellapi.h>'s, which program code must not
// include beside this header.
#pragma once

#include <cstdint>

#include "platform/wintypes.h"

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, int showCommand);
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, int showCommand);

inline bool ShellSucceeded(HINSTANCE result) {
  return reinterpret_cast<std::intptr_t>(result) > 32;
}
