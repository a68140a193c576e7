// RunDialogPreview for the win32 backend: the previews of tests/gui run on
// real Win32 dialogs.
#include "framework/win32/win32_backend.h"
#include "res/resource.h"
#include "tests/gui/preview_support.h"

int RunDialogPreview(int, char**, std::function<void()> runDialog) {
  RegisterProgramResources();
  return afx::RunWithWin32(std::move(runDialog));
}

ControlGeometry MeasureControl(HWND control) {
  const afx::win32::NativeView v = afx::InspectNative(control);
  return {v.left, v.top, v.width, v.height, v.neededWidth, v.neededHeight, v.fontHeight};
}
