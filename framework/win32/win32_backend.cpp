// The win32 backend: the framework's dialogs become real dialogs made from
// their templates, their modal loops are Windows message loops, and work
// queued for the UI thread (posted messages, window calls and boxes asked for
// by workers) is carried there by posted Windows messages.
#include "framework/win32/win32_backend.h"

#include "framework/app.h"
#include "framework/backend.h"
#include "framework/dialog.h"
#include "framework/uiqueue.h"

namespace afx {
namespace {

using win32::NativeWindow;

NativeWindow PeerOf(HWND hwnd) {
  const WindowState* s = FindWindowState(hwnd);
  return s ? s->peer : nullptr;
}

win32::NativeKind NativeKindOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::PushButton: return win32::NativeKind::PushButton;
    case ControlKind::DefPushButton: return win32::NativeKind::DefPushButton;
    case ControlKind::Edit: return win32::NativeKind::Edit;
    case ControlKind::RichEdit: return win32::NativeKind::RichEdit;
    case ControlKind::Static: return win32::NativeKind::Static;
    case ControlKind::GroupBox: return win32::NativeKind::GroupBox;
    case ControlKind::CheckBox: return win32::NativeKind::CheckBox;
    case ControlKind::RadioButton: return win32::NativeKind::RadioButton;
    case ControlKind::Progress: return win32::NativeKind::Progress;
  }
  return win32::NativeKind::Static;
}

// A framework icon is the module's icon resource of the same id.
UINT ResourceIdOf(HICON icon) { return icon ? reinterpret_cast<const IconData*>(icon)->id : 0; }

win32::NativeIcon NativeIconOf(UINT flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR: return win32::NativeIcon::Error;
    case MB_ICONEXCLAMATION: return win32::NativeIcon::Exclamation;
    case MB_ICONINFORMATION: return win32::NativeIcon::Information;
    default: return win32::NativeIcon::None;
  }
}

// The native owner of a box: the innermost dialog, if any.
NativeWindow BoxOwner() {
  CDialog* active = ActiveDialog();
  return active ? PeerOf(active->GetSafeHwnd()) : nullptr;
}

WindowState* ChildAt(void* cookie, size_t index) {
  const WindowState* dialog = FindWindowState(static_cast<HWND>(cookie));
  if (!dialog || index >= dialog->children.size()) return nullptr;
  return FindWindowState(dialog->children[index]);
}

void MirrorControl(WindowState& s, Change what) {
  switch (what) {
    case Change::Text: win32::SetNativeText(s.peer, s.text); break;
    case Change::Appended: win32::AppendNativeText(s.peer, s.text.substr(s.appendedAt)); break;
    case Change::Visible: win32::ShowNative(s.peer, s.visible); break;
    case Change::Enabled: win32::EnableNative(s.peer, s.enabled); break;
    case Change::Check: win32::SetNativeCheck(s.peer, s.check); break;
    case Change::Progress: win32::SetNativeProgress(s.peer, s.rangeMin, s.rangeMax, s.pos); break;
    case Change::PasswordChar: win32::SetNativePasswordChar(s.peer, s.passwordChar); break;
    case Change::ReadOnly: win32::SetNativeReadOnly(s.peer, s.readOnly); break;
    case Change::Limit: win32::SetNativeLimit(s.peer, s.textLimit); break;
    case Change::Selection: win32::SetNativeSelection(s.peer, s.selStart, s.selEnd); break;
    case Change::Focus: win32::FocusNative(s.peer); break;
    case Change::Redraw: win32::RedrawNative(s.peer); break;
    case Change::Icon: break;
  }
}

void MirrorDialog(WindowState& s, Change what) {
  switch (what) {
    case Change::Text: win32::SetNativeText(s.peer, s.text); break;
    case Change::Enabled: win32::EnableNative(s.peer, s.enabled); break;
    case Change::Icon:
      win32::SetNativeIcons(s.peer, ResourceIdOf(s.bigIcon), ResourceIdOf(s.smallIcon));
      break;
    case Change::Focus: win32::FocusNative(s.peer); break;
    case Change::Redraw: win32::RedrawNative(s.peer); break;
    default: break;  // a modal dialog stays shown until its loop ends
  }
}

class Win32Backend : public Backend, public win32::NativeSink {
 public:
  void CreateDialogWindow(CDialog& dialog) override {
    WindowState* s = FindWindowState(dialog.GetSafeHwnd());
    const DialogTemplate* t = dialog.GetTemplate();
    if (!s || !t) return;
    win32::NativeDialog native{t->cx, t->cy, t->fontName ? t->fontName : L"MS Shell Dlg",
                               t->pointSize, t->style, t->exStyle, s->text, {}};
    for (HWND child : s->children)
      if (const WindowState* c = FindWindowState(child))
        native.controls.push_back({c->id, NativeKindOf(c->kind), c->x, c->y, c->cx, c->cy, c->style});
    std::vector<NativeWindow> controls;
    s->peer = win32::CreateNativeDialog(native, PeerOf(s->parent), s->hwnd, controls);
    if (!s->peer) return;
    for (size_t i = 0; i < controls.size(); ++i) {
      WindowState* c = FindWindowState(s->children[i]);
      c->peer = controls[i];
      // Visibility, enabling and read-only came with the template's styles;
      // the rest of the state is the framework's.
      for (Change what : {Change::Text, Change::Check, Change::Progress, Change::Limit})
        MirrorControl(*c, what);
      if (c->passwordChar) MirrorControl(*c, Change::PasswordChar);
    }
  }

  void RunModalLoop(CDialog& dialog) override {
    const WindowState* s = FindWindowState(dialog.GetSafeHwnd());
    if (!s || !s->peer) return;
    win32::RunNativeModalLoop(s->peer, PeerOf(s->parent), PeerOf(s->focus),
                              [&dialog] { return dialog.IsEnding(); });
  }

  // The loop looks at the dialog's end after every message; this one makes
  // sure a message comes.
  void EndModalLoop(CDialog&) override { win32::WakeUi(); }

  void DestroyDialogWindow(CDialog& dialog) override {
    WindowState* s = FindWindowState(dialog.GetSafeHwnd());
    if (!s) return;
    for (HWND child : s->children)
      if (WindowState* c = FindWindowState(child)) c->peer = nullptr;
    win32::DestroyNativeWindow(s->peer);
    s->peer = nullptr;
  }

  void StateChanged(WindowState& state, Change what) override {
    if (!state.peer) return;
    if (state.isDialog)
      MirrorDialog(state, what);
    else
      MirrorControl(state, what);
  }

  int MessageBox(const CString& text, UINT flags) override {
    return win32::ShowNativeMessageBox(BoxOwner(), AfxGetAppName().str(), text.str(), NativeIconOf(flags),
                                       (flags & MB_TYPEMASK) == MB_YESNO,
                                       (flags & MB_DEFMASK) == MB_DEFBUTTON2);
  }

  int SaveFileDialog(CFileDialog& dialog) override {
    const win32::NativeSaveRequest request{dialog.m_strTitle.str(), dialog.m_strInitialName.str(),
                                           dialog.m_strFilter.str(),
                                           dialog.m_strDefaultExtension.str(),
                                           (dialog.m_dwFlags & OFN_OVERWRITEPROMPT) != 0};
    std::wstring chosen;
    if (!win32::ShowNativeSaveDialog(BoxOwner(), request, chosen)) return IDCANCEL;
    dialog.m_strPathName = chosen;
    return IDOK;
  }

  int FolderDialog(CFolderDialog& dialog) override {
    const win32::NativeFolderRequest request{dialog.m_strTitle.str(), dialog.m_strPrompt.str(),
                                             dialog.m_strInitialFolder.str()};
    std::wstring chosen;
    if (!win32::ShowNativeFolderDialog(BoxOwner(), request, chosen)) return IDCANCEL;
    dialog.m_strPathName = chosen;
    return IDOK;
  }

  void ReportStatusLog(const CString&) override {}

  // Input from the native windows.
  void ButtonClicked(void* cookie, size_t index) override {
    if (const WindowState* c = ChildAt(cookie, index)) UserClicks(c->hwnd);
  }

  void Command(void* cookie, int id) override {
    if (CWnd* dialog = CWnd::FromHandle(static_cast<HWND>(cookie)))
      dialog->SendMessage(WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(id)), 0);
  }

  void TextEdited(void* cookie, size_t index, const std::wstring& text) override {
    if (const WindowState* c = ChildAt(cookie, index)) UserSetsText(c->hwnd, text);
  }

  bool NextTabStop(void* cookie, size_t index, bool backward, size_t& next) override {
    const WindowState* dialog = FindWindowState(static_cast<HWND>(cookie));
    if (!dialog || dialog->tabOrder.empty()) return false;
    const std::vector<HWND>& children = dialog->children;
    const HWND to = afx::NextTabStop(dialog->hwnd, index < children.size() ? children[index] : nullptr,
                                     backward);
    for (next = 0; next < children.size(); ++next)
      if (children[next] == to) return true;
    return false;
  }

  void RunQueuedWork() override {
    while (RunOneQueued()) {
    }
  }
};

Win32Backend& TheBackend() {
  static Win32Backend backend;
  return backend;
}

}  // namespace

int RunWithWin32(std::function<void()> initInstance) {
  SetUiThread();
  if (!win32::StartNative(&TheBackend())) return 1;
  SetBackend(&TheBackend());
  SetUiWakeHandler(&win32::WakeUi);
  if (HasQueuedWork()) win32::WakeUi();
  initInstance();
  SetUiWakeHandler(nullptr);
  SetBackend(nullptr);
  win32::StopNative();
  return 0;
}

win32::NativeView InspectNative(HWND hwnd) { return win32::InspectNativeWindow(PeerOf(hwnd)); }

}  // namespace afx
