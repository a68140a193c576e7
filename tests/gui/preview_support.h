// Shows one dialog on real windows outside the client, for screenshots of
// that dialog (see screenshot.sh and koral70_add_screenshot_test).
#pragma once

#include <functional>

#include "platform/wintypes.h"

// Registers the program's resources and runs runDialog (which constructs a
// dialog and calls DoModal) on the UI thread under the window backend (wx;
// win32 in the Windows build). Returns the exit code: 0 once runDialog has
// returned, non-zero when no display could be opened.
int RunDialogPreview(int argc, char** argv, std::function<void()> runDialog);

// A control as the window backend shows it, in pixels of its dialog's
// client area, with the room its caption needs in the control's own font
// (see the backends' InspectNative).
struct ControlGeometry {
  int left, top, width, height;
  int neededWidth, neededHeight;
  int fontHeight;
};
ControlGeometry MeasureControl(HWND control);
