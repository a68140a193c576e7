#include "framework/wx/wx_controls.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "framework/backend.h"

namespace afx::wxui {
namespace {

wxRect PixelRect(wxWindow* dialog, const WindowState& s) {
  // Both corners are converted, so that neighbouring controls share edges.
  const wxPoint topLeft = dialog->ConvertDialogToPixels(wxPoint(s.x, s.y));
  const wxPoint bottomRight = dialog->ConvertDialogToPixels(wxPoint(s.x + s.cx, s.y + s.cy));
  return wxRect(topLeft, wxSize(bottomRight.x - topLeft.x, bottomRight.y - topLeft.y));
}

bool IsMultiLine(const WindowState& s) {
  return s.kind == ControlKind::RichEdit || (s.style & ES_MULTILINE);
}

// A single-line edit masks its text while it has a password character.
bool Masks(const WindowState& s) { return !IsMultiLine(s) && s.passwordChar != 0; }

// Check boxes and radio buttons: the framework sets the check itself and
// sends the command; the widgets then show the framework's checks, also when
// a handler changed them.
void ClickAndResync(HWND hwnd) {
  const std::vector<HWND> group = RadioGroupOf(hwnd);
  UserClicks(hwnd);
  for (HWND member : group.empty() ? std::vector<HWND>{hwnd} : group)
    if (WindowState* s = FindWindowState(member)) MirrorControl(*s, Change::Check);
}

long EditStyle(const WindowState& s) {
  long style = 0;
  if (IsMultiLine(s)) {
    style |= wxTE_MULTILINE;
    style |= (s.style & (ES_AUTOHSCROLL | WS_HSCROLL)) ? wxTE_DONTWRAP : wxTE_WORDWRAP;
    if (!(s.style & WS_VSCROLL)) style |= wxTE_NO_VSCROLL;
  }
  if (Masks(s)) style |= wxTE_PASSWORD;
  if (s.style & ES_CENTER) style |= wxTE_CENTRE;
  if (!(s.style & WS_BORDER)) style |= wxBORDER_NONE;
  return style;
}

wxTextCtrl* CreateEdit(wxWindow* dialog, const WindowState& s) {
  const wxRect r = PixelRect(dialog, s);
  auto* edit = new wxTextCtrl(dialog, wxID_ANY, wxString(s.text), r.GetPosition(), r.GetSize(),
                              EditStyle(s));
  const HWND hwnd = s.hwnd;
  // ChangeValue (used for the program's texts) sends no event, so only the
  // user's typing reaches the framework.
  edit->Bind(wxEVT_TEXT, [hwnd, edit](wxCommandEvent&) {
    UserSetsText(hwnd, edit->GetValue().ToStdWstring());
  });
  return edit;
}

void ApplyLimit(wxTextCtrl* edit, const WindowState& s) {
  if (edit->IsMultiLine()) return;
  // The widget would cut a longer text of the program's to the limit; the
  // limit only stops typing, so it never goes below the text it holds.
  const size_t limit = s.textLimit <= 0 ? 0 : std::max<size_t>(s.textLimit, s.text.size());
  edit->SetMaxLength(limit);
}

// A check box or radio button label that fits its rectangle on Windows can
// be too wide for GTK's larger indicator: the widget then grows to the right
// as far as the label needs, within the dialog. A widget lower than the
// label's line (a CJK font's is taller) grows to that height about the same
// middle, since GTK refuses to draw it smaller (and says so on stderr).
void FitLabel(wxWindow* peer, const WindowState& s) {
  wxWindow* dialog = peer->GetParent();
  const wxRect r = PixelRect(dialog, s);
  const int room = std::max(r.width, dialog->GetClientSize().GetWidth() - r.x);
  const wxSize best = peer->GetBestSize();
  const int height = std::max(r.height, best.GetHeight());
  peer->SetSize(r.x, r.y - (height - r.height) / 2, std::clamp(best.GetWidth(), r.width, room), height);
}

void ApplyText(wxWindow* peer, const WindowState& s) {
  if (auto* edit = dynamic_cast<wxTextCtrl*>(peer)) {
    ApplyLimit(edit, s);
    if (edit->GetValue().ToStdWstring() != s.text) edit->ChangeValue(wxString(s.text));
  } else if (auto* label = dynamic_cast<wxStaticText*>(peer)) {
    // Static texts wrap at their width, as on Windows.
    label->SetLabel(LabelText(s.text));
    label->Wrap(label->GetSize().GetWidth());
  } else {
    peer->SetLabel(LabelText(s.text));
    if (s.kind == ControlKind::CheckBox || s.kind == ControlKind::RadioButton)
      FitLabel(peer, s);
  }
}

// Only the added text goes to the widget; its own text event is held back,
// since the program's texts do not count as the user's typing.
void AppendText(wxTextCtrl* edit, const WindowState& s) {
  wxEventBlocker quiet(edit, wxEVT_TEXT);
  edit->AppendText(wxString(s.text.substr(s.appendedAt)));
}

void ApplySelection(wxTextCtrl* edit, const WindowState& s) {
  const long last = edit->GetLastPosition();
  long start = s.selStart, end = s.selEnd;
  if (start < 0) {
    // -1 as the start removes the selection and leaves the caret.
    start = end = edit->GetInsertionPoint();
  } else {
    if (end < 0 || end > last) end = last;
    start = std::min<long>(start, last);
  }
  edit->SetSelection(start, end);
  edit->ShowPosition(end);
}

void ApplyProgress(wxGauge* gauge, const WindowState& s) {
  const int range = std::max(1, s.rangeMax - s.rangeMin);
  gauge->SetRange(range);
  gauge->SetValue(std::clamp(s.pos - s.rangeMin, 0, range));
}

// GTK cannot switch an entry's mask on and off, so the edit is built again
// with the other style in the same place, tab position and state.
void RebuildEdit(WindowState& s) {
  auto* old = dynamic_cast<wxTextCtrl*>(PeerOf(s));
  if (!old || old->HasFlag(wxTE_PASSWORD) == Masks(s)) return;
  const bool hadFocus = wxWindow::FindFocus() == old;
  wxTextCtrl* fresh = CreateEdit(old->GetParent(), s);
  fresh->MoveAfterInTabOrder(old);
  s.peer = fresh;
  for (Change what : {Change::Text, Change::Visible, Change::Enabled, Change::ReadOnly})
    MirrorControl(s, what);
  if (hadFocus) fresh->SetFocus();
  // An edit's own handler only stores the typed text and never reaches the
  // program, so the old widget is never inside one of its handlers here.
  old->Destroy();
}

const char kKeySinkName[] = "dialog keys";

class KeySink : public wxWindow {
 public:
  explicit KeySink(wxWindow* dialog)
      : wxWindow(dialog, wxID_ANY, wxPoint(0, 0), wxSize(1, 1), wxBORDER_NONE, kKeySinkName) {}
  // Tab never stops here.
  bool AcceptsFocusFromKeyboard() const override { return false; }
};

void Enable(wxWindow* peer, bool enabled) {
  const bool hadFocus = wxWindow::FindFocus() == peer;
  peer->Enable(enabled);
  if (enabled || !hadFocus) return;
  if (wxWindow* sink = peer->GetParent()->FindWindow(kKeySinkName)) sink->SetFocus();
}

wxWindow* CreateWidget(wxWindow* dialog, const WindowState& s) {
  const wxRect r = PixelRect(dialog, s);
  const wxString label = LabelText(s.text);
  const HWND hwnd = s.hwnd;
  switch (s.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
      auto* button = new wxButton(dialog, wxID_ANY, label, r.GetPosition(), r.GetSize());
      if (s.kind == ControlKind::DefPushButton) button->SetDefault();
      button->Bind(wxEVT_BUTTON, [hwnd](wxCommandEvent&) { UserClicks(hwnd); });
      return button;
    }
    case ControlKind::Edit:
    case ControlKind::RichEdit:
      return CreateEdit(dialog, s);
    case ControlKind::Static:
      return new wxStaticText(dialog, wxID_ANY, label, r.GetPosition(), r.GetSize(),
                              wxST_NO_AUTORESIZE);
    case ControlKind::GroupBox:
      return new wxStaticBox(dialog, wxID_ANY, label, r.GetPosition(), r.GetSize());
    case ControlKind::CheckBox: {
      auto* box = new wxCheckBox(dialog, wxID_ANY, label, r.GetPosition(), r.GetSize());
      box->Bind(wxEVT_CHECKBOX, [hwnd](wxCommandEvent&) { ClickAndResync(hwnd); });
      return box;
    }
    case ControlKind::RadioButton: {
      const std::vector<HWND> group = RadioGroupOf(hwnd);
      const long style = !group.empty() && group.front() == hwnd ? wxRB_GROUP : 0;
      auto* radio = new wxRadioButton(dialog, wxID_ANY, label, r.GetPosition(), r.GetSize(), style);
      radio->Bind(wxEVT_RADIOBUTTON, [hwnd](wxCommandEvent&) { ClickAndResync(hwnd); });
      return radio;
    }
    case ControlKind::Progress:
      return new wxGauge(dialog, wxID_ANY, 100, r.GetPosition(), r.GetSize(),
                         wxGA_HORIZONTAL | wxGA_SMOOTH);
  }
  return nullptr;
}

}  // namespace

wxWindow* PeerOf(HWND hwnd) {
  const WindowState* s = FindWindowState(hwnd);
  return s ? PeerOf(*s) : nullptr;
}

wxString LabelText(const std::wstring& text) {
  std::wstring plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) plain += text[i];
  return wxString(plain);
}

void CreateKeySink(wxWindow* dialog) { new KeySink(dialog); }

void CreateControl(wxWindow* dialog, WindowState& state) {
  state.peer = CreateWidget(dialog, state);
  if (!state.peer) return;
  for (Change what : {Change::Text, Change::Visible, Change::Enabled, Change::Check,
                      Change::Progress, Change::ReadOnly, Change::Limit})
    MirrorControl(state, what);
}

void MirrorControl(WindowState& s, Change what) {
  wxWindow* peer = PeerOf(s);
  if (!peer) return;
  auto* edit = dynamic_cast<wxTextCtrl*>(peer);
  switch (what) {
    case Change::Text:
      ApplyText(peer, s);
      break;
    case Change::Appended:
      if (edit) AppendText(edit, s);
      break;
    case Change::Visible:
      peer->Show(s.visible);
      break;
    case Change::Enabled:
      Enable(peer, s.enabled);
      break;
    case Change::Check:
      if (auto* box = dynamic_cast<wxCheckBox*>(peer)) box->SetValue(s.check == BST_CHECKED);
      if (auto* radio = dynamic_cast<wxRadioButton*>(peer)) radio->SetValue(s.check == BST_CHECKED);
      break;
    case Change::Progress:
      if (auto* gauge = dynamic_cast<wxGauge*>(peer)) ApplyProgress(gauge, s);
      break;
    case Change::PasswordChar:
      RebuildEdit(s);
      break;
    case Change::ReadOnly:
      if (edit) edit->SetEditable(!s.readOnly);
      break;
    case Change::Limit:
      if (edit) ApplyLimit(edit, s);
      break;
    case Change::Selection:
      if (edit) ApplySelection(edit, s);
      break;
    case Change::Focus:
      peer->SetFocus();
      break;
    case Change::Icon:
      break;
    case Change::Redraw:
      peer->Refresh();
      peer->Update();
      break;
  }
}

}  // namespace afx::wxui
