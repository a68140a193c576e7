// Real windows through wxWidgets (GTK3).
#pragma once

#include <functional>
#include <string>

#include "platform/wintypes.h"

namespace afx {

// Starts wx on this thread, installs the wx backend, runs initInstance (which
// runs the program's modal main window) and returns the exit code: 0 once
// initInstance has returned, non-zero when wx could not start (no display).
int RunWithWx(int argc, char** argv, std::function<void()> initInstance);

// What a control's native widget shows, read back from the widget itself;
// for checks that the backend mirrors the framework's window state.
struct NativeView {
  bool exists = false;
  std::wstring text;  // label, title or edit contents
  bool shown = false;
  bool enabled = false;
  bool checked = false;
  bool password = false;  // an edit that masks its characters
  bool editable = false;
  bool focused = false;  // the widget has the keyboard focus
  int gaugeValue = 0, gaugeRange = 0;
  int selectionStart = 0, selectionEnd = 0;
  int maxLength = 0;  // 0: no limit set
  int left = 0, top = 0;      // controls: the place in the dialog's client area, pixels
  int width = 0, height = 0;  // pixels
  // Statics and buttons: the room their text needs in the widget's own font
  // as GTK draws it (its padding, indicator and spacing included; a static
  // text as wrapped at its width), and that font's character height.
  int neededWidth = 0, neededHeight = 0, fontHeight = 0;
};
NativeView InspectNative(HWND hwnd);
// The Tab key (with Shift: backward) typed in a dialog, as GTK hands it to
// the dialog's key handling; returns once it has been handled.
void TypeTabKey(HWND dialog, bool backward);

}  // namespace afx
