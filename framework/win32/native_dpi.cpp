// Dialogs at the scale of their screen. The program is per-monitor DPI
// aware (its manifest says so): a dialog moved to a screen of another scale
// gets WM_DPICHANGED and lays itself out again from its template, with its
// font and icons made for that scale. The functions that only newer Windows
// has are looked up at run time, so that the program still starts on
// Windows 7.
#include <windows.h>

#include "framework/win32/native.h"
#include "framework/win32/native_shared.h"

namespace afx::win32 {
namespace {

constexpr wchar_t kLayoutProperty[] = L"Koral70DialogLayout";
constexpr UINT kDefaultDpi = 96;

// Newer than Windows 7: GetDpiForWindow, GetSystemMetricsForDpi and
// AdjustWindowRectExForDpi (Windows 10 1607), SetDialogDpiChangeBehavior
// (Windows 10 1703).
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

// What a dialog was made from, and what it made for its present scale.
struct DialogLayout {
  NativeDialog dialog;
  HFONT font = nullptr;  // ours after a relayout; before it the dialog manager's
  unsigned bigIconId = 0, smallIconId = 0;
  HICON bigIcon = nullptr, smallIcon = nullptr;
};

DialogLayout* LayoutOf(HWND dialog) {
  return static_cast<DialogLayout*>(GetPropW(dialog, kLayoutProperty));
}

// The font of the template at this scale, as the dialog manager makes it.
HFONT CreateDialogFont(const NativeDialog& dialog, UINT dpi) {
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(dialog.pointSize, static_cast<int>(dpi), 72);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = PROOF_QUALITY;
  lstrcpynW(font.lfFaceName, dialog.fontName.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

// The dialog base units of a font: the average width of the Latin letters
// and the character height, as the dialog manager computes them.
SIZE BaseUnitsOf(HFONT font) {
  static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(screen, &metrics);
  SIZE letters = {};
  GetTextExtentPoint32W(screen, kLetters, 52, &letters);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

HICON LoadIconAtDpi(unsigned id, int metric, UINT dpi) {
  if (id == 0) return nullptr;
  const int size = MetricAtDpi(metric, dpi);
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                       size, size, 0));
}

void ApplyIcons(HWND dialog, DialogLayout& layout, UINT dpi) {
  const HICON big = LoadIconAtDpi(layout.bigIconId, SM_CXICON, dpi);
  const HICON small = LoadIconAtDpi(layout.smallIconId, SM_CXSMICON, dpi);
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  if (layout.bigIcon) DestroyIcon(layout.bigIcon);
  if (layout.smallIcon) DestroyIcon(layout.smallIcon);
  layout.bigIcon = big;
  layout.smallIcon = small;
}

}  // namespace

UINT DpiOf(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
  return dpi ? dpi : SystemDpi();
}

int MetricAtDpi(int metric, UINT dpi) {
  using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
  static const auto forDpi = User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(metric, dpi);
  return MulDiv(GetSystemMetrics(metric), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

void AttachDialogLayout(HWND dialog, const NativeDialog& from) {
  // The dialog manager of Windows 10 1703 and later would scale the dialog
  // on its own as well; the relayout here is the one for every version.
  using SetBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);
  static const auto setBehavior = User32Function<SetBehaviorFunction>("SetDialogDpiChangeBehavior");
  constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
  if (setBehavior) setBehavior(dialog, kDisableAll, kDisableAll);
  SetPropW(dialog, kLayoutProperty, new DialogLayout{from});
}

void DetachDialogLayout(HWND dialog) {
  DialogLayout* layout = LayoutOf(dialog);
  if (!layout) return;
  RemovePropW(dialog, kLayoutProperty);
  if (layout->font) DeleteObject(layout->font);
  if (layout->bigIcon) DestroyIcon(layout->bigIcon);
  if (layout->smallIcon) DestroyIcon(layout->smallIcon);
  delete layout;
}

void RelayoutDialogAtDpi(HWND dialog, UINT dpi, const RECT* suggested) {
  DialogLayout* layout = LayoutOf(dialog);
  if (!layout) return;
  const HFONT font = CreateDialogFont(layout->dialog, dpi);
  if (!font) return;
  const SIZE units = BaseUnitsOf(font);
  size_t index = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child && index < layout->dialog.controls.size();
       child = GetWindow(child, GW_HWNDNEXT), ++index) {
    const NativeControl& c = layout->dialog.controls[index];
    SetWindowPos(child, nullptr, MulDiv(c.x, units.cx, 4), MulDiv(c.y, units.cy, 8),
                 MulDiv(c.cx, units.cx, 4), MulDiv(c.cy, units.cy, 8), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }

  RECT frame = {0, 0, MulDiv(layout->dialog.cx, units.cx, 4), MulDiv(layout->dialog.cy, units.cy, 8)};
  const auto style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE));
  using AdjustFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustFunction>("AdjustWindowRectExForDpi");
  if (adjustForDpi)
    adjustForDpi(&frame, style, FALSE, exStyle, dpi);
  else
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  RECT place = {};
  if (suggested)
    place = *suggested;
  else
    GetWindowRect(dialog, &place);
  SetWindowPos(dialog, nullptr, place.left, place.top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);

  if (layout->font) DeleteObject(layout->font);
  layout->font = font;
  ApplyIcons(dialog, *layout, dpi);
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SetNativeIcons(NativeWindow window, unsigned bigId, unsigned smallId) {
  const HWND dialog = static_cast<HWND>(window);
  DialogLayout* layout = LayoutOf(dialog);
  if (!layout) return;
  layout->bigIconId = bigId;
  layout->smallIconId = smallId;
  ApplyIcons(dialog, *layout, DpiOf(dialog));
}

void ChangeNativeDpi(NativeWindow window, unsigned dpi) {
  const HWND dialog = static_cast<HWND>(window);
  RECT place = {};
  GetWindowRect(dialog, &place);
  SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
}

}  // namespace afx::win32
