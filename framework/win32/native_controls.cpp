// Native controls follow the framework's window state through their own
// messages; icons come from the module's icon resources.
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

// A shared icon: the system keeps it for the module's lifetime.
HICON ModuleIcon(unsigned id, int widthMetric, int heightMetric) {
  if (id == 0) return nullptr;
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric),
                                       GetSystemMetrics(heightMetric), LR_SHARED));
}

// The colour image of an icon, row by row from the top.
void ReadIconPixels(HICON icon, NativeView& view) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return;
  BITMAP bitmap = {};
  if (info.hbmColor && GetObjectW(info.hbmColor, sizeof bitmap, &bitmap) && bitmap.bmWidth > 0) {
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = -bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
    const HDC screen = GetDC(nullptr);
    if (GetDIBits(screen, info.hbmColor, 0, bitmap.bmHeight, pixels.data(), &format, DIB_RGB_COLORS)) {
      view.iconSize = bitmap.bmWidth;
      view.iconPixels = std::move(pixels);
    }
    ReleaseDC(nullptr, screen);
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
}

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

void SetNativeIcons(NativeWindow window, unsigned bigId, unsigned smallId) {
  SendMessageW(W(window), WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(ModuleIcon(bigId, SM_CXICON, SM_CYICON)));
  SendMessageW(W(window), WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(ModuleIcon(smallId, SM_CXSMICON, SM_CYSMICON)));
}

NativeView InspectNativeWindow(NativeWindow window) {
  NativeView view;
  const HWND w = W(window);
  if (!w || !IsWindow(w)) return view;
  view.exists = true;
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  view.className = name;
  view.text = NativeText(w);
  const LONG style = GetWindowLongW(w, GWL_STYLE);
  view.visible = (style & WS_VISIBLE) != 0;
  view.enabled = IsWindowEnabled(w) != FALSE;
  // Each class is asked only its own messages.
  if (_wcsicmp(name, L"Button") == 0) view.check = static_cast<int>(SendMessageW(w, BM_GETCHECK, 0, 0));
  if (_wcsicmp(name, PROGRESS_CLASSW) == 0) {
    PBRANGE range = {};
    SendMessageW(w, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    view.rangeMin = range.iLow;
    view.rangeMax = range.iHigh;
    view.position = static_cast<int>(SendMessageW(w, PBM_GETPOS, 0, 0));
  }
  if (_wcsicmp(name, L"Edit") == 0) {
    view.passwordChar = static_cast<wchar_t>(SendMessageW(w, EM_GETPASSWORDCHAR, 0, 0));
    view.readOnly = (style & ES_READONLY) != 0;
    view.limit = static_cast<int>(SendMessageW(w, EM_GETLIMITTEXT, 0, 0));
    DWORD start = 0, end = 0;
    SendMessageW(w, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    view.selectionStart = static_cast<int>(start);
    view.selectionEnd = static_cast<int>(end);
  }
  RECT rect = {};
  GetWindowRect(w, &rect);
  view.width = rect.right - rect.left;
  view.height = rect.bottom - rect.top;
  const auto icon = reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_BIG, 0));
  view.hasIcon = icon != nullptr;
  if (icon) ReadIconPixels(icon, view);
  return view;
}

NativeWindow NativeFocus() { return GetFocus(); }

void ClickNative(NativeWindow button) { SendMessageW(W(button), BM_CLICK, 0, 0); }

void TypeIntoNative(NativeWindow edit, const std::wstring& text) {
  for (wchar_t ch : text) SendMessageW(W(edit), WM_CHAR, ch, 1);
}

void PostEscapeKey(NativeWindow window) {
  PostMessageW(W(window), WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(W(window), WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

}  // namespace afx::win32
