// ShellExecute with the verb "open": documents and URLs go to the desktop's
// opener (xdg-open); a program (a ".exe" file of the card, or an executable
// file) is spawned directly, detached, in the current directory. Results
// follow Windows: a value above 32 is success.
#pragma once

#include "platform/wintypes.h"

HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, int showCommand);
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, int showCommand);

inline bool ShellSucceeded(HINSTANCE result) {
  return reinterpret_cast<std::intptr_t>(result) > 32;
}
