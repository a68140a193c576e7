// Native controls follow the framework's window state through their own
// messages; icons are made from the framework's pixel data.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "framework/win32/native.h"
#include "framework/win32/native_shared.h"

namespace afx::win32 {
namespace {

int g_mirroring = 0;
std::map<const std::uint32_t*, HICON> g_icons;  // by the image's pixels

class Mirroring {
 public:
  Mirroring() { ++g_mirroring; }
  ~Mirroring() { --g_mirroring; }
};

HWND W(NativeWindow window) { return static_cast<HWND>(window); }

HICON IconOf(const NativeIconImage& image) {
  if (auto it = g_icons.find(image.pixels); it != g_icons.end()) return it->second;
  BITMAPV5HEADER header = {};
  header.bV5Size = sizeof header;
  header.bV5Width = image.size;
  header.bV5Height = -image.size;  // top-down rows, as the pixels are stored
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_RGB;
  void* bits = nullptr;
  const HDC screen = GetDC(nullptr);
  const HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                          DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!colour) return nullptr;
  // 0xAARRGGBB in memory is B, G, R, A: the layout of a 32-bit DIB.
  std::memcpy(bits, image.pixels, static_cast<size_t>(image.size) * image.size * 4);
  const HBITMAP mask = CreateBitmap(image.size, image.size, 1, 1, nullptr);
  ICONINFO info = {TRUE, 0, 0, mask, colour};
  const HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  if (icon) g_icons[image.pixels] = icon;
  return icon;
}

// The image whose size is nearest to wanted, the larger one on a tie.
const NativeIconImage* Nearest(const std::vector<NativeIconImage>& images, int wanted) {
  const NativeIconImage* best = nullptr;
  for (const NativeIconImage& image : images) {
    if (!best || std::abs(image.size - wanted) < std::abs(best->size - wanted) ||
        (std::abs(image.size - wanted) == std::abs(best->size - wanted) && image.size > best->size))
      best = &image;
  }
  return best;
}

}  // namespace

bool IsMirroring() { return g_mirroring > 0; }

std::wstring NativeText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void DestroyNativeIcons() {
  for (auto& [pixels, icon] : g_icons) DestroyIcon(icon);
  g_icons.clear();
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

void SetNativeIcons(NativeWindow window, const std::vector<NativeIconImage>& images) {
  const NativeIconImage* big = Nearest(images, GetSystemMetrics(SM_CXICON));
  const NativeIconImage* small = Nearest(images, GetSystemMetrics(SM_CXSMICON));
  SendMessageW(W(window), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big ? IconOf(*big) : nullptr));
  SendMessageW(W(window), WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(small ? IconOf(*small) : nullptr));
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
  view.hasIcon = SendMessageW(w, WM_GETICON, ICON_BIG, 0) != 0;
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
