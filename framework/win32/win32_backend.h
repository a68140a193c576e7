// Real windows through the Win32 API, on Windows.
#pragma once

#include <functional>

#include "framework/win32/native.h"
#include "platform/wintypes.h"

namespace afx {

// Installs the win32 backend on this thread (which becomes the UI thread),
// runs initInstance (which runs the program's modal main window) and returns
// 0 once it has returned, non-zero when the backend could not start.
int RunWithWin32(std::function<void()> initInstance);

// What the native window behind a framework window shows, for checks that
// the backend mirrors the framework's window state.
win32::NativeView InspectNative(HWND hwnd);

}  // namespace afx
