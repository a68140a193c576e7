#include "tests/gui/preview_support.h"

#include "framework/wx/wx_backend.h"
#include "res/resource.h"

int RunDialogPreview(int argc, char** argv, std::function<void()> runDialog) {
  RegisterProgramResources();
  return afx::RunWithWx(argc, argv, std::move(runDialog));
}

ControlGeometry MeasureControl(HWND control) {
  const afx::NativeView v = afx::InspectNative(control);
  return {v.left, v.top, v.width, v.height, v.neededWidth, v.neededHeight, v.fontHeight};
}
