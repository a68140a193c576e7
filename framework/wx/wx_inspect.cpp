// Reads back what a native widget shows, for the GUI checks.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcscreen.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "framework/wx/wx_backend.h"
#include "framework/wx/wx_controls.h"

namespace afx {
namespace {

// GTK's own width for a button's label: its size without wx's default
// minimum (the exact-fit style).
int NaturalWidth(wxButton* button) {
  const long style = button->GetWindowStyleFlag();
  button->SetWindowStyleFlag(style | wxBU_EXACTFIT);
  button->InvalidateBestSize();
  const int width = button->GetBestSize().GetWidth();
  button->SetWindowStyleFlag(style);
  button->InvalidateBestSize();
  return width;
}

// The room a static's or a button's label needs: a static text its wrapped
// lines, a check box or radio button its best size, a push button GTK's
// padding around the text, a group box an indent on both sides.
void MeasureLabel(wxWindow* peer, NativeView& view) {
  wxScreenDC dc;
  dc.SetFont(peer->GetFont());
  wxCoord width = 0, height = 0;
  dc.GetMultiLineTextExtent(peer->GetLabel(), &width, &height);
  view.fontHeight = dc.GetCharHeight();
  view.neededWidth = width;
  view.neededHeight = height;
  if (dynamic_cast<wxCheckBox*>(peer) || dynamic_cast<wxRadioButton*>(peer)) {
    view.neededWidth = peer->GetBestSize().GetWidth();
    view.neededHeight = peer->GetBestSize().GetHeight();
  } else if (auto* button = dynamic_cast<wxButton*>(peer)) {
    view.neededWidth = NaturalWidth(button);
  } else if (dynamic_cast<wxStaticBox*>(peer)) {
    view.neededWidth = width + 2 * dc.GetCharWidth();
  }
}

}  // namespace

NativeView InspectNative(HWND hwnd) {
  NativeView view;
  wxWindow* peer = wxui::PeerOf(hwnd);
  if (!peer) return view;
  view.exists = true;
  view.shown = peer->IsShown();
  view.focused = wxWindow::FindFocus() == peer;
  view.enabled = peer->IsEnabled();
  view.left = peer->GetPosition().x;
  view.top = peer->GetPosition().y;
  view.width = peer->GetSize().GetWidth();
  view.height = peer->GetSize().GetHeight();
  if (dynamic_cast<wxStaticText*>(peer) || dynamic_cast<wxButton*>(peer) ||
      dynamic_cast<wxCheckBox*>(peer) || dynamic_cast<wxRadioButton*>(peer) ||
      dynamic_cast<wxStaticBox*>(peer))
    MeasureLabel(peer, view);
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

void TypeTabKey(HWND dialog, bool backward) {
  wxWindow* native = wxui::PeerOf(dialog);
  if (!native) return;
  wxKeyEvent key(wxEVT_CHAR_HOOK);
  key.m_keyCode = WXK_TAB;
  key.m_shiftDown = backward;
  key.SetEventObject(native);
  native->GetEventHandler()->ProcessEvent(key);
}

}  // namespace afx
