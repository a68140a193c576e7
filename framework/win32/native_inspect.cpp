// Reading back what a native window shows, for checks: its state, its
// icon's pixels and the room its caption needs.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "framework/win32/native.h"
#include "framework/win32/native_shared.h"

namespace afx::win32 {
namespace {

HWND W(NativeWindow window) { return static_cast<HWND>(window); }

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

// The room a static's or a button's caption needs in the control's font:
// buttons add their frame and focus rectangle, check boxes and radio
// buttons their mark and the gap after it, group boxes the frame's indent
// on both sides of the caption; a static text wraps at its width.
void MeasureCaption(HWND w, LONG style, NativeView& view) {
  const HDC dc = GetDC(w);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  view.fontHeight = metrics.tmHeight;
  SIZE text = {};
  GetTextExtentPoint32W(dc, view.text.c_str(), static_cast<int>(view.text.size()), &text);
  const UINT dpi = DpiOf(w);
  const int edge = MetricAtDpi(SM_CXEDGE, dpi);
  wchar_t className[16] = {};
  GetClassNameW(w, className, 16);
  if (_wcsicmp(className, L"Static") == 0) {
    RECT wrapped = {0, 0, view.width, 0};
    if (text.cx > view.width)
      DrawTextW(dc, view.text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
    else
      wrapped = {0, 0, text.cx, metrics.tmHeight};
    view.neededWidth = wrapped.right;
    view.neededHeight = wrapped.bottom;
  } else {
    switch (style & BS_TYPEMASK) {
      case BS_AUTOCHECKBOX:
      case BS_AUTORADIOBUTTON: {
        const int mark = MetricAtDpi(SM_CXMENUCHECK, dpi);
        SIZE digit = {};
        GetTextExtentPoint32W(dc, L"0", 1, &digit);
        view.neededWidth = mark + digit.cx / 2 + text.cx + 1;
        view.neededHeight = metrics.tmHeight > mark ? metrics.tmHeight : mark;
        break;
      }
      case BS_GROUPBOX:
        view.neededWidth = text.cx + 2 * metrics.tmAveCharWidth;
        view.neededHeight = metrics.tmHeight;
        break;
      default:
        view.neededWidth = text.cx + 2 * (edge + 1);
        view.neededHeight = metrics.tmHeight + 2 * edge;
        break;
    }
  }
  SelectObject(dc, old);
  ReleaseDC(w, dc);
}

}  // namespace

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
  if (const HWND parent = GetParent(w); parent && (style & WS_CHILD)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    view.left = rect.left;
    view.top = rect.top;
  }
  if (_wcsicmp(name, L"Static") == 0 || _wcsicmp(name, L"Button") == 0) MeasureCaption(w, style, view);
  view.dpi = DpiOf(w);
  const auto icon = reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_BIG, 0));
  view.hasIcon = icon != nullptr;
  if (icon) ReadIconPixels(icon, view);
  return view;
}

NativeWindow NativeFocus() { return GetFocus(); }

bool IsCommonControls6Button(NativeWindow button) {
  // Only the buttons of version 6 know their ideal size.
  SIZE ideal = {};
  return SendMessageW(W(button), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) != 0;
}

}  // namespace afx::win32
