// Windows and controls: HWND handles into a registry of live windows, CWnd
// and the control classes, and the handle-level calls (PostMessageW,
// GetDlgItem, ShowWindow) that worker threads may make.
#pragma once

#include <string>
#include <vector>

#include "framework/cstring.h"
#include "framework/msgmap.h"
#include "framework/resources.h"
#include "platform/wintypes.h"

#ifdef _WIN32
// The system's headers declare these names for the system's windows. The
// framework's handles are its own, so its functions take names of their own
// here, as the system's headers map SetWindowText to SetWindowTextW; the
// win32 backend reaches the system's functions from files that do not
// include this header.
#define PostMessageW AfxPostMessageW
#define GetDlgItem AfxGetDlgItem
#define ShowWindow AfxShowWindow
#define IsWindow AfxIsWindow
#endif

class CWnd;

namespace afx {

// What changed on a window, so that a backend can mirror it.
// Appended: text was added at the end of an edit's text, from appendedAt on;
// a backend adds just that, so that a growing text costs what is added.
enum class Change { Text, Appended, Visible, Enabled, Check, Progress, PasswordChar, ReadOnly,
                    Selection, Focus, Icon, Limit, Redraw };

// The state of one live window. Owned by the registry; touched on the UI
// thread only.
struct WindowState {
  HWND hwnd = nullptr;
  int id = 0;
  ControlKind kind = ControlKind::Static;
  bool isDialog = false;
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::wstring text;
  size_t appendedAt = 0;  // the start of the text added by the last Change::Appended
  bool modified = false;  // edits: the user changed the text since the program set it
  bool visible = true;
  bool enabled = true;
  int check = BST_UNCHECKED;
  int rangeMin = 0, rangeMax = 100, pos = 0;
  wchar_t passwordChar = 0;
  bool readOnly = false;
  int textLimit = 0;  // 0: no limit
  int selStart = 0, selEnd = 0;
  HWND parent = nullptr;
  HWND focus = nullptr;  // dialogs: the control that has the focus
  std::vector<HWND> children;  // creation order
  std::vector<HWND> tabOrder;  // dialogs whose template orders Tab: the children in that order
  CWnd* object = nullptr;      // the permanent CWnd of this window
  HICON bigIcon = nullptr, smallIcon = nullptr;
  void* peer = nullptr;        // the backend's native window, if any
};

// Registry access. Find returns null for a handle that is not alive.
WindowState* FindWindowState(HWND hwnd);
HWND CreateWindowState(HWND parent, CWnd* object);
void DestroyWindowState(HWND hwnd);  // and its children
bool IsLiveWindow(HWND hwnd);        // callable from any thread
HWND FindChild(HWND dialog, int id);  // callable from any thread
// The auto radio buttons of the group that holds this one, in creation order.
std::vector<HWND> RadioGroupOf(HWND radio);
// The control that Tab (Shift+Tab when backward) moves the focus to from the
// control from (null: from before the first), in the dialog's tab order: the
// next shown, enabled tab stop, where a radio group is one stop at its
// checked button (its first usable one when none is checked). Null when the
// dialog has none.
HWND NextTabStop(HWND dialog, HWND from, bool backward);
// Tells the backend that a window's state changed.
void NotifyChange(WindowState& state, Change what);

// Marks the password character that an edit with ES_PASSWORD starts with.
constexpr wchar_t kDefaultPasswordChar = 0x25CF;

}  // namespace afx

class CWnd {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  virtual ~CWnd() = default;

  HWND m_hWnd = nullptr;

  HWND GetSafeHwnd() const { return m_hWnd; }
  static CWnd* FromHandle(HWND hwnd);

  CWnd* GetDlgItem(int id) const;
  BOOL ShowWindow(int command);
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL IsWindowVisible() const;
  void SetWindowText(LPCWSTR text);
  void GetWindowText(CString& text) const;
  int GetWindowTextLength() const;
  CWnd* SetFocus();
  BOOL RedrawWindow(const void* updateRect = nullptr, void* updateRegion = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_ERASE);
  HICON SetIcon(HICON icon, BOOL bigIcon);
  BOOL CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;

  // Sends a message and returns the handler's result: to the message map of
  // a dialog, or to a control's own handling of the control messages.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  virtual const AFX_MSGMAP* GetMessageMap() const;
  static const AFX_MSGMAP* GetThisMessageMap();
  // Handles a message that no map entry took.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  friend LRESULT afx::DispatchMessage(CWnd* window, UINT message, WPARAM wParam, LPARAM lParam);
};

class CEdit : public CWnd {
 public:
  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void SetPasswordChar(wchar_t ch);
  wchar_t GetPasswordChar() const;
  // Replaces the selection with text (at the caret: inserts it); with the
  // caret at the end this appends and costs only the added text.
  void ReplaceSel(LPCWSTR text, BOOL canUndo = FALSE);
  // Whether the user has changed the text since the program last set it.
  BOOL GetModify() const;
};

class CButton : public CWnd {};

class CProgressCtrl : public CWnd {
 public:
  void SetRange(short lower, short upper);
};

class CStatic : public CWnd {};

// Handle-level calls. PostMessageW, GetDlgItem and ShowWindow may be called
// from any thread; ShowWindow off the UI thread is queued in posting order.
BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
HWND GetDlgItem(HWND dialog, int id);
BOOL ShowWindow(HWND hwnd, int command);
