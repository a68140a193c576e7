// The native widgets of a dialog's controls: one per template item, built
// from the framework's window state and kept in step with it.
#pragma once

#include <string>

#include <wx/string.h>
#include <wx/window.h>

#include "framework/window.h"

namespace afx::wxui {

// The native window of a live framework window, or null.
wxWindow* PeerOf(HWND hwnd);
inline wxWindow* PeerOf(const WindowState& state) { return static_cast<wxWindow*>(state.peer); }

// Text for labels and titles: Windows line breaks become plain ones.
wxString LabelText(const std::wstring& text);

// Creates the control's widget in the dialog at the template's rectangle,
// shows the state it has now and reports the user's input back.
void CreateControl(wxWindow* dialog, WindowState& state);
// A widget without a look of its own that takes the keyboard for the dialog
// when the control with the focus is disabled: GTK would leave no widget
// with the focus, and Esc and Enter would no longer reach the dialog.
void CreateKeySink(wxWindow* dialog);

// Shows one change of a control's state on its widget.
void MirrorControl(WindowState& state, Change what);

}  // namespace afx::wxui
