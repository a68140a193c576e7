// Helpers shared by the files that implement native.h (they include
// windows.h; nothing else includes this header).
#pragma once

#include <windows.h>

#include <string>

#include "framework/win32/native.h"

namespace afx::win32 {

// True while a program change is being applied to a control: the control's
// own notifications are then not the user's input.
bool IsMirroring();
std::wstring NativeText(HWND window);

// The scale a window is shown at (96 is 100 %), and a system metric at a scale.
UINT DpiOf(HWND window);
int MetricAtDpi(int metric, UINT dpi);
// A dialog keeps what it was made from, so that it can lay itself out again
// at another scale (WM_DPICHANGED) and load its icons for each scale.
void AttachDialogLayout(HWND dialog, const NativeDialog& from);
void DetachDialogLayout(HWND dialog);
void RelayoutDialogAtDpi(HWND dialog, UINT dpi, const RECT* suggested);

}  // namespace afx::win32
