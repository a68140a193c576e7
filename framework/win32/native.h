// The Win32 side of the win32 backend, behind plain C++ types: windows.h is
// included only by the files that implement this header, so that the
// framework's own window names (HWND handles of its registry, PostMessageW,
// GetDlgItem, ...) and the system's never meet in one translation unit.
// A NativeWindow is a real window handle; every call here runs on the UI
// thread except WakeUi.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace afx::win32 {

using NativeWindow = void*;

enum class NativeKind { PushButton, DefPushButton, Edit, RichEdit, Static, GroupBox, CheckBox,
                        RadioButton, Progress };

// One control of a dialog template, in creation order; dialog units and the
// Windows style bits of the framework's tables.
struct NativeControl {
  int id;
  NativeKind kind;
  short x, y, cx, cy;
  std::uint32_t style;
};

struct NativeDialog {
  short cx, cy;
  std::wstring fontName;
  short pointSize;
  std::uint32_t style, exStyle;
  std::wstring title;
  std::vector<NativeControl> controls;
};

// What the windows report back, on the UI thread. cookie is the value given
// to CreateNativeDialog; index is the control's place in creation order.
class NativeSink {
 public:
  virtual ~NativeSink() = default;
  virtual void ButtonClicked(void* cookie, size_t index) = 0;
  // A command without a control behind it: Esc (IDCANCEL), Enter without a
  // default button, the close box.
  virtual void Command(void* cookie, int id) = 0;
  virtual void TextEdited(void* cookie, size_t index, const std::wstring& text) = 0;
  // Work was queued for the UI thread (see WakeUi).
  virtual void RunQueuedWork() = 0;
  // Where Tab (Shift+Tab: backward) moves the focus from the control at
  // index (none: past the end), for a dialog whose own tab order is not its
  // creation order; false leaves the key to the dialog manager.
  virtual bool NextTabStop(void* cookie, size_t index, bool backward, size_t& next) = 0;
};

// Loads the common controls and the rich-edit control and creates the
// window that carries wake-ups; false when that window cannot be created.
bool StartNative(NativeSink* sink);
void StopNative();
// Callable from any thread: posts a message that makes the UI thread call
// RunQueuedWork, from whichever message loop runs (ours, a message box's, the
// save dialog's). Wake-ups that are still pending are not posted twice.
void WakeUi();

// Creates the dialog hidden, with its controls (returned in creation order).
NativeWindow CreateNativeDialog(const NativeDialog& dialog, NativeWindow owner, void* cookie,
                                std::vector<NativeWindow>& controls);
// Shows the dialog, disables its owner and dispatches messages until ended()
// is true; focus (if any) gets the keyboard focus once the dialog shows.
void RunNativeModalLoop(NativeWindow dialog, NativeWindow owner, NativeWindow focus,
                        const std::function<bool()>& ended);
void DestroyNativeWindow(NativeWindow window);

// Mirrors of the framework's window state.
void SetNativeText(NativeWindow window, const std::wstring& text);
void AppendNativeText(NativeWindow edit, const std::wstring& added);
void ShowNative(NativeWindow window, bool visible);
void EnableNative(NativeWindow window, bool enabled);
void SetNativeCheck(NativeWindow button, int check);
void SetNativeProgress(NativeWindow bar, int minimum, int maximum, int position);
void SetNativePasswordChar(NativeWindow edit, wchar_t ch);
void SetNativeReadOnly(NativeWindow edit, bool readOnly);
void SetNativeLimit(NativeWindow edit, int limit);
void SetNativeSelection(NativeWindow edit, int start, int end);
void FocusNative(NativeWindow window);
void RedrawNative(NativeWindow window);
// Sets the dialog's big and small icon from the icon resources of the
// program's module with these ids, at the icon sizes of the dialog's scale
// (again after each change of scale); 0 for none.
void SetNativeIcons(NativeWindow window, unsigned bigId, unsigned smallId);

// None gives a box without an icon (MB_OK alone).
enum class NativeIcon { None, Information, Exclamation, Error };
// With yesNo the box asks Yes or No and returns IDYES or IDNO (with noDefault
// No is the button Return presses); else IDOK.
int ShowNativeMessageBox(NativeWindow owner, const std::wstring& title, const std::wstring& text,
                         NativeIcon icon, bool yesNo, bool noDefault);

struct NativeSaveRequest {
  std::wstring title;         // empty: the system's own
  std::wstring initialPath;
  std::wstring filter;        // "Description|pattern|...||"
  std::wstring defaultExtension;
  bool overwritePrompt;
};
// The common save dialog; false when the user cancelled.
bool ShowNativeSaveDialog(NativeWindow owner, const NativeSaveRequest& request,
                          std::wstring& chosen);

struct NativeFolderRequest {
  std::wstring title;          // empty: the system's own
  std::wstring prompt;         // the label of the folder's name box; empty: the system's
  std::wstring initialFolder;  // empty: the system's own start
};
// The system's folder chooser (the shell's item dialog picking folders);
// false when the user cancelled or no chooser could be had.
bool ShowNativeFolderDialog(NativeWindow owner, const NativeFolderRequest& request,
                            std::wstring& chosen);

// What a native control shows, read from the control itself, for checks.
struct NativeView {
  bool exists = false;
  std::wstring className;
  std::wstring text;
  bool visible = false, enabled = false;
  int check = 0;
  int rangeMin = 0, rangeMax = 0, position = 0;
  wchar_t passwordChar = 0;
  bool readOnly = false;
  int limit = 0;
  int selectionStart = 0, selectionEnd = 0;
  int left = 0, top = 0;      // controls: the place in the dialog's client area, pixels
  int width = 0, height = 0;  // pixels
  // Statics and buttons: the room their text needs in the control's own
  // font, as the control draws it (its margins, check mark and gap included;
  // a static wrapped at its width), and that font's character height.
  int neededWidth = 0, neededHeight = 0, fontHeight = 0;
  unsigned dpi = 0;           // the scale the window is shown at (96 is 100 %)
  bool hasIcon = false;       // dialogs: a big icon is set
  int iconSize = 0;           // the big icon: size × size pixels, 0xAARRGGBB row by row
  std::vector<std::uint32_t> iconPixels;
};
NativeView InspectNativeWindow(NativeWindow window);
// The window that has the keyboard focus.
NativeWindow NativeFocus();
// The user's input, made through the controls' own messages, for checks:
// a click (BM_CLICK), typed characters (WM_CHAR), and the Esc key posted to
// the window's queue so that the dialog manager sees it.
void ClickNative(NativeWindow button);
void TypeIntoNative(NativeWindow edit, const std::wstring& text);
void PostEscapeKey(NativeWindow window);
// The Tab key typed into the window of a dialog: returns once the dialog
// has handled it.
void TypeTabKey(NativeWindow window);
// The dialog is told that its screen's scale is now dpi, as when it is
// moved to another screen.
void ChangeNativeDpi(NativeWindow window, unsigned dpi);
// Whether a button comes from the common controls of version 6, which draw
// with visual styles (the program's manifest asks for them).
bool IsCommonControls6Button(NativeWindow button);

}  // namespace afx::win32
