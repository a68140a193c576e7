// Native controls follow the framework's window state through their own
// messages.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "framework/win32/native.h"
#include "framework/win32/native_shared.h"

namespace afx::win32 {
namespace {

int g_mirroring = 0;

class Mirroring {
 public:
  Mirroring() { ++g_mirroring; }
  ~Mirroring() { --g_mirroring; }
};

HWND W(NativeWindow window) { return static_cast<HWND>(window); }

}  // namespace

bool IsMirroring() { return g_mirroring > 0; }

std::wstring NativeText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void SetNativeText(NativeWindow window, const std::wstring& text) {
  Mirroring quiet;
  if (NativeText(W(window)) != text) SetWindowTextW(W(window), text.c_str());
}

void AppendNativeText(NativeWindow edit, const std::wstring& added) {
  Mirroring quiet;
  const int end = GetWindowTextLengthW(W(edit));
  SendMessageW(W(edit), EM_SETSEL, end, end);
  SendMessageW(W(edit), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
}

void ShowNative(NativeWindow window, bool visible) { ShowWindow(W(window), visible ? SW_SHOW : SW_HIDE); }

void EnableNative(NativeWindow window, bool enabled) {
  const bool hadFocus = GetFocus() == W(window);
  EnableWindow(W(window), enabled);
  // A disabled control loses the focus and keys would go nowhere: the
  // dialog itself takes it, so that Esc still reaches the dialog manager.
  if (!enabled && hadFocus) SetFocus(GetParent(W(window)));
}

void SetNativeCheck(NativeWindow button, int check) { SendMessageW(W(button), BM_SETCHECK, check, 0); }

void SetNativeProgress(NativeWindow bar, int minimum, int maximum, int position) {
  SendMessageW(W(bar), PBM_SETRANGE32, minimum, maximum);
  SendMessageW(W(bar), PBM_SETPOS, position, 0);
}

void SetNativePasswordChar(NativeWindow edit, wchar_t ch) {
  SendMessageW(W(edit), EM_SETPASSWORDCHAR, ch, 0);
  InvalidateRect(W(edit), nullptr, TRUE);
}

void SetNativeReadOnly(NativeWindow edit, bool readOnly) {
  SendMessageW(W(edit), EM_SETREADONLY, readOnly, 0);
}

void SetNativeLimit(NativeWindow edit, int limit) {
  // 0 is the system's own largest limit.
  SendMessageW(W(edit), EM_SETLIMITTEXT, limit, 0);
}

void SetNativeSelection(NativeWindow edit, int start, int end) {
  Mirroring quiet;
  SendMessageW(W(edit), EM_SETSEL, start, end);
  SendMessageW(W(edit), EM_SCROLLCARET, 0, 0);
}

void FocusNative(NativeWindow window) { SetFocus(W(window)); }

void RedrawNative(NativeWindow window) {
  RedrawWindow(W(window), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ClickNative(NativeWindow button) { SendMessageW(W(button), BM_CLICK, 0, 0); }

void TypeIntoNative(NativeWindow edit, const std::wstring& text) {
  for (wchar_t ch : text) SendMessageW(W(edit), WM_CHAR, ch, 1);
}

void PostEscapeKey(NativeWindow window) {
  PostMessageW(W(window), WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(W(window), WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

}  // namespace afx::win32
