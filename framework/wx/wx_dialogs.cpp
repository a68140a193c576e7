// Dialog windows: the wxDialog with its controls, keyboard handling and
// modal loops.
#include <wx/dialog.h>
#include <wx/settings.h>

#include "framework/wx/wx_backend_impl.h"
#include "framework/wx/wx_controls.h"
#include "framework/wx/wx_icons.h"

namespace afx {
namespace {

wxDialog* DialogPeer(const CDialog& dialog) {
  return static_cast<wxDialog*>(wxui::PeerOf(dialog.GetSafeHwnd()));
}

void SendCommand(HWND dialog, int id) {
  if (CWnd* window = CWnd::FromHandle(dialog))
    window->SendMessage(WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(id)), 0);
}

WindowState* ControlOfWidget(const WindowState& dialog, const wxWindow* widget) {
  for (HWND child : dialog.children)
    if (WindowState* c = FindWindowState(child); c && c->peer == widget) return c;
  return nullptr;
}

// Enter presses the default button, as the Windows dialog manager does: the
// template's default push button, else IDOK. A focused push button takes
// Enter itself, as does a multi-line edit that wants returns. A disabled or
// hidden default button does nothing. Returns false to let the widget have
// the key.
bool PressDefaultButton(HWND hwnd) {
  const WindowState* dialog = FindWindowState(hwnd);
  if (!dialog) return false;
  if (const WindowState* focused = ControlOfWidget(*dialog, wxWindow::FindFocus())) {
    const bool button = focused->kind == ControlKind::PushButton ||
                        focused->kind == ControlKind::DefPushButton;
    const bool wantsReturn = focused->kind == ControlKind::Edit &&
                             (focused->style & ES_MULTILINE) && (focused->style & ES_WANTRETURN);
    if (button || wantsReturn) return false;
  }
  int id = IDOK;
  for (HWND child : dialog->children)
    if (const WindowState* c = FindWindowState(child); c && c->kind == ControlKind::DefPushButton) {
      id = c->id;
      break;
    }
  if (HWND control = FindChild(hwnd, id))
    UserClicks(control);
  else
    SendCommand(hwnd, id);
  return true;
}

// Tab in a dialog whose template orders it: the framework's tab order
// instead of GTK's. Returns false to let GTK move the focus.
bool MoveFocusByTab(HWND hwnd, bool backward) {
  const WindowState* dialog = FindWindowState(hwnd);
  if (!dialog || dialog->tabOrder.empty()) return false;
  const WindowState* focused = ControlOfWidget(*dialog, wxWindow::FindFocus());
  if (wxWindow* next = wxui::PeerOf(NextTabStop(hwnd, focused ? focused->hwnd : nullptr, backward)))
    next->SetFocus();
  return true;
}

void BindDialogInput(wxDialog* native, HWND hwnd) {
  native->Bind(wxEVT_CHAR_HOOK, [hwnd](wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
      case WXK_ESCAPE:
        SendCommand(hwnd, IDCANCEL);
        return;
      case WXK_RETURN:
      case WXK_NUMPAD_ENTER:
        if (PressDefaultButton(hwnd)) return;
        break;
      case WXK_TAB:
        if (MoveFocusByTab(hwnd, event.ShiftDown())) return;
        break;
      default:
        break;
    }
    event.Skip();
  });
  // Closing the window (Alt+F4, the close box) is a cancel; the program
  // decides whether the dialog ends.
  native->Bind(wxEVT_CLOSE_WINDOW, [hwnd](wxCloseEvent& event) {
    if (!event.CanVeto()) {
      event.Skip();
      return;
    }
    event.Veto();
    SendCommand(hwnd, IDCANCEL);
  });
  // The program set the focus before the window showed; give it to that
  // control once the window is up, since showing picks a widget of its own.
  native->Bind(wxEVT_SHOW, [hwnd, native](wxShowEvent& event) {
    event.Skip();
    if (!event.IsShown()) return;
    native->CallAfter([hwnd] {
      const WindowState* s = FindWindowState(hwnd);
      if (wxWindow* focus = s ? wxui::PeerOf(s->focus) : nullptr) focus->SetFocus();
    });
  });
}

void MirrorDialog(WindowState& s, Change what) {
  auto* native = static_cast<wxDialog*>(wxui::PeerOf(s));
  if (!native) return;
  switch (what) {
    case Change::Text:
      native->SetTitle(wxui::LabelText(s.text));
      break;
    case Change::Enabled:
      native->Enable(s.enabled);
      break;
    case Change::Icon:
      native->SetIcons(wxui::IconBundleOf(s.bigIcon, s.smallIcon));
      break;
    case Change::Focus:
      native->SetFocus();
      break;
    case Change::Redraw:
      native->Refresh();
      native->Update();
      break;
    default:
      break;  // a modal dialog stays shown until its loop ends
  }
}

}  // namespace

WxBackend& TheWxBackend() {
  static WxBackend backend;
  return backend;
}

void WxBackend::CreateDialogWindow(CDialog& dialog) {
  WindowState* s = FindWindowState(dialog.GetSafeHwnd());
  const DialogTemplate* t = dialog.GetTemplate();
  if (!s || !t) return;
  wxWindow* parent = wxui::PeerOf(s->parent);
  // A caption always; the close box only with a system menu.
  long style = wxCAPTION;
  if (t->style & WS_SYSMENU) style |= wxSYSTEM_MENU | wxCLOSE_BOX;
  if (!parent) style |= wxDIALOG_NO_PARENT;
  auto* native = new wxDialog(parent, wxID_ANY, wxui::LabelText(s->text), wxDefaultPosition,
                              wxDefaultSize, style);
  // Dialog units follow the default GUI font, which every control uses.
  native->SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
  native->SetClientSize(native->ConvertDialogToPixels(wxSize(t->cx, t->cy)));
  s->peer = native;
  wxui::CreateKeySink(native);
  for (HWND child : s->children)
    if (WindowState* c = FindWindowState(child)) wxui::CreateControl(native, *c);
  BindDialogInput(native, s->hwnd);
  if (parent)
    native->CentreOnParent();
  else
    native->CentreOnScreen();
}

void WxBackend::RunModalLoop(CDialog& dialog) {
  wxDialog* native = DialogPeer(dialog);
  if (!native || dialog.IsEnding()) return;
  m_loops.push_back(&dialog);
  native->ShowModal();
  m_loops.pop_back();
  EndWaitingLoop();
}

void WxBackend::EndModalLoop(CDialog& dialog) {
  // Only the innermost loop can end now; another one ends when the loops
  // above it have closed (EndWaitingLoop).
  if (m_loops.empty() || m_loops.back() != &dialog) return;
  if (wxDialog* native = DialogPeer(dialog); native && native->IsModal())
    native->EndModal(wxID_CANCEL);
}

void WxBackend::EndWaitingLoop() {
  if (!m_loops.empty() && m_loops.back() && m_loops.back()->IsEnding())
    EndModalLoop(*m_loops.back());
}

void WxBackend::DestroyDialogWindow(CDialog& dialog) {
  WindowState* s = FindWindowState(dialog.GetSafeHwnd());
  if (!s) return;
  for (HWND child : s->children)
    if (WindowState* c = FindWindowState(child)) c->peer = nullptr;
  delete static_cast<wxDialog*>(s->peer);
  s->peer = nullptr;
}

void WxBackend::StateChanged(WindowState& state, Change what) {
  if (state.isDialog)
    MirrorDialog(state, what);
  else
    wxui::MirrorControl(state, what);
}

wxWindow* WxBackend::BoxParent() {
  CDialog* active = ActiveDialog();
  return active ? DialogPeer(*active) : nullptr;
}

}  // namespace afx
