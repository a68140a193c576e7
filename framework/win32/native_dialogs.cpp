// Dialogs on the real Win32 API: an in-memory DLGTEMPLATE built from the
// framework's tables (so dialog units come from the dialog's font, as
// Windows computes them), the dialog procedure that reports input and
// changes of scale, the modal loop with its Tab key, and the message-only
// window that carries wake-ups from other threads.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <atomic>

#include "framework/win32/native.h"
#include "framework/win32/native_shared.h"

namespace afx::win32 {
namespace {

constexpr UINT kWakeMessage = WM_APP + 1;
constexpr wchar_t kWakeClass[] = L"Koral70Wake";

NativeSink* g_sink = nullptr;
std::atomic<HWND> g_wakeWindow{nullptr};
std::atomic<bool> g_wakePending{false};

LRESULT CALLBACK WakeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kWakeMessage) return DefWindowProcW(window, message, wParam, lParam);
  // Cleared before the work runs: work queued meanwhile posts a new wake-up.
  g_wakePending = false;
  if (g_sink) g_sink->RunQueuedWork();
  return 0;
}

// A DLGTEMPLATE in memory: a sequence of WORDs with DWORD-aligned items.
class TemplateWriter {
 public:
  void Word(WORD value) { m_words.push_back(value); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Text(const std::wstring& text) {
    for (wchar_t ch : text) Word(static_cast<WORD>(ch));
    Word(0);
  }
  void AlignToDword() {
    if (m_words.size() % 2) Word(0);
  }
  std::vector<WORD> Take() { return std::move(m_words); }

 private:
  std::vector<WORD> m_words;
};

const wchar_t* ClassOf(NativeKind kind) {
  switch (kind) {
    case NativeKind::Edit: return L"EDIT";
    case NativeKind::RichEdit: return MSFTEDIT_CLASS;
    case NativeKind::Static: return L"STATIC";
    case NativeKind::Progress: return PROGRESS_CLASSW;
    default: return L"BUTTON";
  }
}

DWORD KindStyle(NativeKind kind) {
  switch (kind) {
    case NativeKind::PushButton: return BS_PUSHBUTTON;
    case NativeKind::DefPushButton: return BS_DEFPUSHBUTTON;
    case NativeKind::CheckBox: return BS_AUTOCHECKBOX;
    case NativeKind::RadioButton: return BS_AUTORADIOBUTTON;
    case NativeKind::GroupBox: return BS_GROUPBOX;
    default: return 0;
  }
}

std::vector<WORD> BuildTemplate(const NativeDialog& dialog) {
  TemplateWriter out;
  // Hidden until the modal loop shows it, and centred on its owner.
  out.Dword((dialog.style & ~WS_VISIBLE) | DS_SETFONT | DS_CENTER);
  out.Dword(dialog.exStyle);
  out.Word(static_cast<WORD>(dialog.controls.size()));
  for (short v : {short{0}, short{0}, dialog.cx, dialog.cy}) out.Word(static_cast<WORD>(v));
  out.Word(0);  // no menu
  out.Word(0);  // the system's dialog class
  out.Text(dialog.title);
  out.Word(static_cast<WORD>(dialog.pointSize));
  out.Text(dialog.fontName);
  for (const NativeControl& c : dialog.controls) {
    out.AlignToDword();
    out.Dword(WS_CHILD | KindStyle(c.kind) | c.style);
    out.Dword(0);
    for (short v : {c.x, c.y, c.cx, c.cy}) out.Word(static_cast<WORD>(v));
    out.Word(static_cast<WORD>(c.id));
    out.Text(ClassOf(c.kind));
    out.Text(L"");
    out.Word(0);  // no creation data
  }
  return out.Take();
}

void* CookieOf(HWND dialog) { return reinterpret_cast<void*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

// Controls carry their place in creation order, plus one, as user data.
bool IndexOf(HWND control, size_t& index) {
  const LONG_PTR stored = GetWindowLongPtrW(control, GWLP_USERDATA);
  if (stored <= 0) return false;
  index = static_cast<size_t>(stored - 1);
  return true;
}

void OnCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
  if (!g_sink) return;
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  const HWND control = reinterpret_cast<HWND>(lParam);
  size_t index = 0;
  if (!control || !IndexOf(control, index)) {
    // Esc, Enter without a default button, an accelerator.
    if (code == BN_CLICKED) g_sink->Command(CookieOf(dialog), id);
    return;
  }
  if (code == BN_CLICKED) {
    // Esc sends IDCANCEL with the cancel button as its control: it must end
    // the dialog even when that button is disabled, as a click would not.
    if (id == IDCANCEL)
      g_sink->Command(CookieOf(dialog), id);
    else
      g_sink->ButtonClicked(CookieOf(dialog), index);
  } else if (code == EN_CHANGE && !IsMirroring()) {
    g_sink->TextEdited(CookieOf(dialog), index, NativeText(control));
  }
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      return FALSE;  // the framework sets the focus itself
    case WM_COMMAND:
      OnCommand(dialog, wParam, lParam);
      return TRUE;
    case WM_CLOSE:
      if (g_sink) g_sink->Command(CookieOf(dialog), IDCANCEL);
      return TRUE;
    case WM_DPICHANGED:
      RelayoutDialogAtDpi(dialog, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return TRUE;
    case WM_NCDESTROY:
      DetachDialogLayout(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

HWND ControlAt(HWND dialog, size_t index) {
  size_t at = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++at)
    if (at == index) return child;
  return nullptr;
}

// Tab in a dialog whose tab order the framework keeps: the focus moves as
// the dialog manager moves it (WM_NEXTDLGCTL also selects an edit's text
// and passes the default button's frame on). False leaves the key alone.
bool MoveFocusByTab(HWND dialog, const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || !g_sink) return false;
  if (msg.hwnd != dialog && !IsChild(dialog, msg.hwnd)) return false;
  size_t index = static_cast<size_t>(-1), next = 0;
  const HWND focus = GetFocus();
  if (!focus || GetParent(focus) != dialog || !IndexOf(focus, index)) index = static_cast<size_t>(-1);
  if (!g_sink->NextTabStop(CookieOf(dialog), index, GetKeyState(VK_SHIFT) < 0, next)) return false;
  if (const HWND control = ControlAt(dialog, next))
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  return true;
}

void DispatchInDialog(HWND dialog, MSG& msg) {
  if (MoveFocusByTab(dialog, msg) || IsDialogMessageW(dialog, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace

bool StartNative(NativeSink* sink) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"Msftedit.dll");
  WNDCLASSW wakeClass = {};
  wakeClass.lpfnWndProc = &WakeProc;
  wakeClass.hInstance = GetModuleHandleW(nullptr);
  wakeClass.lpszClassName = kWakeClass;
  RegisterClassW(&wakeClass);
  const HWND wake = CreateWindowExW(0, kWakeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    wakeClass.hInstance, nullptr);
  if (!wake) return false;
  g_sink = sink;
  g_wakePending = false;
  g_wakeWindow = wake;
  return true;
}

void StopNative() {
  const HWND wake = g_wakeWindow.exchange(nullptr);
  if (wake) DestroyWindow(wake);
  g_sink = nullptr;
}

void WakeUi() {
  const HWND wake = g_wakeWindow;
  if (!wake || g_wakePending.exchange(true)) return;
  if (!PostMessageW(wake, kWakeMessage, 0, 0)) g_wakePending = false;
}

NativeWindow CreateNativeDialog(const NativeDialog& dialog, NativeWindow owner, void* cookie,
                                std::vector<NativeWindow>& controls) {
  const std::vector<WORD> data = BuildTemplate(dialog);
  const HWND window = CreateDialogIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(data.data()),
      static_cast<HWND>(owner), &DialogProc, reinterpret_cast<LPARAM>(cookie));
  if (!window) return nullptr;
  // The dialog manager creates the controls in template order, each one
  // last in the z-order, so walking the children gives that order back.
  controls.clear();
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SetWindowLongPtrW(child, GWLP_USERDATA, static_cast<LONG_PTR>(controls.size() + 1));
    controls.push_back(child);
  }
  if (controls.size() != dialog.controls.size()) {
    DestroyWindow(window);
    controls.clear();
    return nullptr;
  }
  AttachDialogLayout(window, dialog);
  return window;
}

void RunNativeModalLoop(NativeWindow dialog, NativeWindow owner, NativeWindow focus,
                        const std::function<bool()>& ended) {
  const HWND window = static_cast<HWND>(dialog);
  const HWND ownerWindow = static_cast<HWND>(owner);
  const bool ownerEnabled = ownerWindow && IsWindowEnabled(ownerWindow);
  if (ownerEnabled) EnableWindow(ownerWindow, FALSE);
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  if (focus) SetFocus(static_cast<HWND>(focus));
  MSG msg;
  while (!ended()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // WM_QUIT belongs to the outermost loop: leave it for that one.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    DispatchInDialog(window, msg);
  }
  // The owner is enabled before the dialog goes, so that it, and not some
  // other program, becomes the active window. The dialog is not hidden
  // first: destroying it hides it, and under Wine without a window manager a
  // hide waits two seconds for the manager that is not there.
  if (ownerEnabled) EnableWindow(ownerWindow, TRUE);
}

void TypeTabKey(NativeWindow window) {
  const HWND target = static_cast<HWND>(window);
  const HWND dialog = GetAncestor(target, GA_ROOT);
  PostMessageW(target, WM_KEYDOWN, VK_TAB, 1);
  PostMessageW(target, WM_KEYUP, VK_TAB, 0xC0000001);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchInDialog(dialog, msg);
}

void DestroyNativeWindow(NativeWindow window) {
  if (window) DestroyWindow(static_cast<HWND>(window));
}

}  // namespace afx::win32
