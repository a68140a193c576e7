// Helpers shared by the files that implement native.h (they include
// windows.h; nothing else includes this header).
#pragma once

#include <windows.h>

#include <string>

namespace afx::win32 {

// True while a program change is being applied to a control: the control's
// own notifications are then not the user's input.
bool IsMirroring();
std::wstring NativeText(HWND window);

}  // namespace afx::win32
