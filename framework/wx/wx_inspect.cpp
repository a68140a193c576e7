// Reads back what a native widget shows, for the GUI checks.
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "framework/wx/wx_backend.h"
#include "framework/wx/wx_controls.h"

namespace afx {

NativeView InspectNative(HWND hwnd) {
  NativeView view;
  wxWindow* peer = wxui::PeerOf(hwnd);
  if (!peer) return view;
  view.exists = true;
  view.shown = peer->IsShown();
  view.enabled = peer->IsEnabled();
  view.width = peer->GetSize().GetWidth();
  view.height = peer->GetSize().GetHeight();
  if (auto* edit = dynamic_cast<wxTextCtrl*>(peer)) {
    view.text = edit->GetValue().ToStdWstring();
    view.password = edit->HasFlag(wxTE_PASSWORD);
    view.editable = edit->IsEditable();
    long from = 0, to = 0;
    edit->GetSelection(&from, &to);
    view.selectionStart = static_cast<int>(from);
    view.selectionEnd = static_cast<int>(to);
  } else if (auto* dialog = dynamic_cast<wxDialog*>(peer)) {
    view.text = dialog->GetTitle().ToStdWstring();
  } else if (auto* box = dynamic_cast<wxCheckBox*>(peer)) {
    view.text = box->GetLabel().ToStdWstring();
    view.checked = box->GetValue();
  } else if (auto* radio = dynamic_cast<wxRadioButton*>(peer)) {
    view.text = radio->GetLabel().ToStdWstring();
    view.checked = radio->GetValue();
  } else if (auto* gauge = dynamic_cast<wxGauge*>(peer)) {
    view.gaugeValue = gauge->GetValue();
    view.gaugeRange = gauge->GetRange();
  } else {
    view.text = peer->GetLabel().ToStdWstring();
  }
  return view;
}

}  // namespace afx
