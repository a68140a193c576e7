#include "window.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "framework/backend.h"
#include "framework/uiqueue.h"

namespace afx {
namespace {
struct Registry {
  std::mutex lock;  // guards the map itself; states are touched on the UI thread
  std::map<HWND, std::unique_ptr<WindowState>> windows;
  std::map<HWND, std::unique_ptr<CWnd>> ownedObjects;  // CWnds made for controls
  std::uintptr_t nextHandle = 0x100;
};
Registry& R() {
  static Registry* registry = new Registry;  // outlives detached threads
  return *registry;
}
Backend* g_backend = nullptr;
}  // namespace

void SetBackend(Backend* backend) { g_backend = backend; }
Backend* GetBackend() { return g_backend; }

WindowState* FindWindowState(HWND hwnd) {
  std::lock_guard<std::mutex> guard(R().lock);
  auto it = R().windows.find(hwnd);
  return it == R().windows.end() ? nullptr : it->second.get();
}

bool IsLiveWindow(HWND hwnd) { return FindWindowState(hwnd) != nullptr; }

HWND CreateWindowState(HWND parent, CWnd* object) {
  auto state = std::make_unique<WindowState>();
  std::unique_ptr<CWnd> owned;
  if (!object) {
    owned = std::make_unique<CWnd>();
    object = owned.get();
  }
  std::lock_guard<std::mutex> guard(R().lock);
  HWND hwnd = reinterpret_cast<HWND>(R().nextHandle++);
  state->hwnd = hwnd;
  state->parent = parent;
  state->object = object;
  object->m_hWnd = hwnd;
  if (parent) {
    auto p = R().windows.find(parent);
    if (p != R().windows.end()) p->second->children.push_back(hwnd);
  }
  R().windows[hwnd] = std::move(state);
  if (owned) R().ownedObjects[hwnd] = std::move(owned);
  return hwnd;
}

void DestroyWindowState(HWND hwnd) {
  std::vector<HWND> children;
  {
    std::lock_guard<std::mutex> guard(R().lock);
    auto it = R().windows.find(hwnd);
    if (it == R().windows.end()) return;
    children = it->second->children;
  }
  for (HWND child : children) DestroyWindowState(child);
  std::lock_guard<std::mutex> guard(R().lock);
  auto it = R().windows.find(hwnd);
  if (it->second->object && !R().ownedObjects.count(hwnd)) it->second->object->m_hWnd = nullptr;
  R().windows.erase(it);
  R().ownedObjects.erase(hwnd);
}

HWND FindChild(HWND dialog, int id) {
  // Under the registry lock: worker threads look up controls by id while
  // the UI thread may be destroying the dialog.
  std::lock_guard<std::mutex> guard(R().lock);
  auto it = R().windows.find(dialog);
  if (it == R().windows.end()) return nullptr;
  for (HWND child : it->second->children) {
    auto c = R().windows.find(child);
    if (c != R().windows.end() && c->second->id == id) return child;
  }
  return nullptr;
}

void NotifyChange(WindowState& state, Change what) {
  if (g_backend) g_backend->StateChanged(state, what);
}

std::vector<HWND> RadioGroupOf(HWND radio) {
  WindowState* s = FindWindowState(radio);
  if (!s) return {};
  WindowState* parent = FindWindowState(s->parent);
  if (!parent) return {radio};
  const auto& all = parent->children;
  size_t at = 0;
  while (at < all.size() && all[at] != radio) ++at;
  size_t first = at;
  while (first > 0 && !(FindWindowState(all[first])->style & WS_GROUP)) --first;
  std::vector<HWND> group;
  for (size_t i = first; i < all.size(); ++i) {
    WindowState* c = FindWindowState(all[i]);
    if (i > first && (c->style & WS_GROUP)) break;
    if (c->kind == ControlKind::RadioButton) group.push_back(all[i]);
  }
  return group;
}

namespace {
// The radio button at which Tab stops in radio's group.
HWND GroupStop(HWND radio) {
  HWND first = nullptr;
  for (HWND member : RadioGroupOf(radio)) {
    const WindowState* m = FindWindowState(member);
    if (!m || !m->visible || !m->enabled) continue;
    if (m->check == BST_CHECKED) return member;
    if (!first) first = member;
  }
  return first;
}

bool IsTabStop(HWND control) {
  const WindowState* c = FindWindowState(control);
  if (!c || !c->visible || !c->enabled) return false;
  if (c->kind == ControlKind::RadioButton) return GroupStop(control) == control;
  return (c->style & WS_TABSTOP) != 0;
}
}  // namespace

HWND NextTabStop(HWND dialog, HWND from, bool backward) {
  const WindowState* d = FindWindowState(dialog);
  if (!d) return nullptr;
  const std::vector<HWND>& order = d->tabOrder.empty() ? d->children : d->tabOrder;
  const long count = static_cast<long>(order.size());
  // Without a control to start from, the walk starts just outside the list.
  long at = backward ? count : -1;
  for (long i = 0; i < count; ++i)
    if (order[i] == from) at = i;
  for (long step = 1; step <= count; ++step) {
    const long i = ((backward ? at - step : at + step) % count + count) % count;
    if (IsTabStop(order[i])) return order[i];
  }
  return nullptr;
}

namespace {
void SetCheckState(WindowState& s, int check) {
  if (s.check == check) return;
  s.check = check;
  NotifyChange(s, Change::Check);
}

// EM_REPLACESEL. A selection end of -1 or past the text means the text's
// end; a start of -1 (no selection) means the caret at the selection's end.
void ReplaceSelection(WindowState& s, const wchar_t* text) {
  const std::wstring added = text ? text : L"";
  const size_t length = s.text.size();
  const size_t end = s.selEnd < 0 ? length : std::min<size_t>(static_cast<size_t>(s.selEnd), length);
  const size_t start = s.selStart < 0 ? end : std::min<size_t>(static_cast<size_t>(s.selStart), end);
  s.text.replace(start, end - start, added);
  s.selStart = s.selEnd = static_cast<int>(start + added.size());
  if (start == length) {
    s.appendedAt = start;
    NotifyChange(s, Change::Appended);
  } else {
    NotifyChange(s, Change::Text);
  }
}

// The control messages that the program sends to its controls.
LRESULT ControlMessage(WindowState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case EM_SETSEL:
      s.selStart = static_cast<int>(wParam);
      s.selEnd = static_cast<int>(lParam);
      NotifyChange(s, Change::Selection);
      return 0;
    case EM_SCROLLCARET:
      NotifyChange(s, Change::Selection);
      return TRUE;
    case EM_REPLACESEL:
      ReplaceSelection(s, reinterpret_cast<const wchar_t*>(lParam));
      return 0;
    case EM_GETMODIFY:
      return s.modified;
    case EM_SETMODIFY:
      s.modified = wParam != 0;
      return 0;
    case EM_LIMITTEXT:
      s.textLimit = static_cast<int>(wParam);
      NotifyChange(s, Change::Limit);
      return 0;
    case EM_SETPASSWORDCHAR:
      s.passwordChar = static_cast<wchar_t>(wParam);
      NotifyChange(s, Change::PasswordChar);
      return 0;
    case EM_GETPASSWORDCHAR:
      return s.passwordChar;
    case EM_SETREADONLY:
      s.readOnly = wParam != 0;
      NotifyChange(s, Change::ReadOnly);
      return TRUE;
    case BM_GETCHECK:
      return s.check;
    case BM_SETCHECK:
      SetCheckState(s, static_cast<int>(wParam));
      return 0;
    case PBM_SETRANGE: {
      LRESULT previous = MAKELPARAM(static_cast<WORD>(s.rangeMin), static_cast<WORD>(s.rangeMax));
      s.rangeMin = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)));
      s.rangeMax = static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam)));
      NotifyChange(s, Change::Progress);
      return previous;
    }
    case PBM_GETRANGE:
      return wParam ? s.rangeMin : s.rangeMax;
    case PBM_SETPOS: {
      int previous = s.pos;
      int pos = static_cast<int>(wParam);
      // A progress bar keeps its position inside its range.
      if (pos < s.rangeMin) pos = s.rangeMin;
      if (pos > s.rangeMax) pos = s.rangeMax;
      s.pos = pos;
      NotifyChange(s, Change::Progress);
      return previous;
    }
    case PBM_GETPOS:
      return s.pos;
    case WM_SETICON: {
      HICON icon = reinterpret_cast<HICON>(lParam);
      HICON previous = wParam ? s.bigIcon : s.smallIcon;
      (wParam ? s.bigIcon : s.smallIcon) = icon;
      NotifyChange(s, Change::Icon);
      return reinterpret_cast<LRESULT>(previous);
    }
    default:
      return 0;
  }
}
}  // namespace

LRESULT DispatchMessage(CWnd* window, UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT id = message == WM_COMMAND ? LOWORD(wParam) : 0;
  for (const AFX_MSGMAP* map = window->GetMessageMap(); map;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->pfnThunk; ++e)
      if (e->nMessage == message && e->nID == id) return e->pfnThunk(window, wParam, lParam);
  }
  return window->DefWindowProc(message, wParam, lParam);
}

void UserSetsText(HWND control, const std::wstring& text) {
  if (WindowState* s = FindWindowState(control)) {
    s->text = text;
    s->modified = true;
  }
}

void UserSetsCheck(HWND control, int check) {
  if (WindowState* s = FindWindowState(control)) s->check = check;
}

void UserClicks(HWND control) {
  WindowState* s = FindWindowState(control);
  if (!s || !s->enabled || !s->visible) return;
  if (s->kind == ControlKind::CheckBox) {
    SetCheckState(*s, s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
  } else if (s->kind == ControlKind::RadioButton) {
    for (HWND other : RadioGroupOf(control))
      if (WindowState* o = FindWindowState(other)) SetCheckState(*o, other == control);
  }
  const int id = s->id;
  if (CWnd* parent = CWnd::FromHandle(s->parent))
    parent->SendMessage(WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(id)), 0);
}

}  // namespace afx

using afx::FindWindowState;
using afx::WindowState;

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, entries};
  return &map;
}
const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* s = FindWindowState(m_hWnd);
  return s ? afx::ControlMessage(*s, message, wParam, lParam) : 0;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* s = FindWindowState(m_hWnd);
  if (!s) return 0;
  // A message to a control handle goes to the control itself, whichever CWnd
  // object names it; a dialog's messages go through its message map.
  if (!s->isDialog) return afx::ControlMessage(*s, message, wParam, lParam);
  return afx::DispatchMessage(s->object, message, wParam, lParam);
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  WindowState* s = FindWindowState(hwnd);
  return s ? s->object : nullptr;
}

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }

BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }

BOOL CWnd::EnableWindow(BOOL enable) {
  WindowState* s = FindWindowState(m_hWnd);
  if (!s) return FALSE;
  const BOOL wasDisabled = !s->enabled;
  if (s->enabled != (enable != FALSE)) {
    s->enabled = enable != FALSE;
    afx::NotifyChange(*s, afx::Change::Enabled);
  }
  return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
  WindowState* s = FindWindowState(m_hWnd);
  return s && s->enabled;
}

BOOL CWnd::IsWindowVisible() const {
  WindowState* s = FindWindowState(m_hWnd);
  return s && s->visible;
}

void CWnd::SetWindowText(LPCWSTR text) {
  WindowState* s = FindWindowState(m_hWnd);
  if (!s) return;
  s->text = text ? text : L"";
  s->modified = false;
  afx::NotifyChange(*s, afx::Change::Text);
}

void CWnd::GetWindowText(CString& text) const {
  WindowState* s = FindWindowState(m_hWnd);
  text = s ? s->text.c_str() : L"";
}

int CWnd::GetWindowTextLength() const {
  WindowState* s = FindWindowState(m_hWnd);
  return s ? static_cast<int>(s->text.size()) : 0;
}

CWnd* CWnd::SetFocus() {
  WindowState* s = FindWindowState(m_hWnd);
  if (!s) return nullptr;
  WindowState* dialog = s->isDialog ? s : FindWindowState(s->parent);
  if (!dialog) return nullptr;
  CWnd* previous = FromHandle(dialog->focus);
  dialog->focus = m_hWnd;
  afx::NotifyChange(*s, afx::Change::Focus);
  return previous;
}

BOOL CWnd::RedrawWindow(const void*, void*, UINT) {
  WindowState* s = FindWindowState(m_hWnd);
  if (!s) return FALSE;
  afx::NotifyChange(*s, afx::Change::Redraw);
  return TRUE;
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, bigIcon ? 1 : 0, reinterpret_cast<LPARAM>(icon)));
}


BOOL CWnd::CheckDlgButton(int id, UINT check) {
  CWnd* button = GetDlgItem(id);
  if (!button) return FALSE;
  button->SendMessage(BM_SETCHECK, check, 0);
  return TRUE;
}

UINT CWnd::IsDlgButtonChecked(int id) const {
  CWnd* button = GetDlgItem(id);
  return button ? static_cast<UINT>(button->SendMessage(BM_GETCHECK, 0, 0)) : 0;
}

void CEdit::SetSel(int start, int end, BOOL noScroll) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
  if (!noScroll) SendMessage(EM_SCROLLCARET, 0, 0);
}
void CEdit::ReplaceSel(LPCWSTR text, BOOL canUndo) {
  SendMessage(EM_REPLACESEL, static_cast<WPARAM>(canUndo), reinterpret_cast<LPARAM>(text));
}
BOOL CEdit::GetModify() const {
  return static_cast<BOOL>(const_cast<CEdit*>(this)->SendMessage(EM_GETMODIFY, 0, 0));
}
void CEdit::SetPasswordChar(wchar_t ch) { SendMessage(EM_SETPASSWORDCHAR, ch, 0); }
wchar_t CEdit::GetPasswordChar() const {
  return static_cast<wchar_t>(const_cast<CEdit*>(this)->SendMessage(EM_GETPASSWORDCHAR, 0, 0));
}

void CProgressCtrl::SetRange(short lower, short upper) {
  SendMessage(PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(lower), static_cast<WORD>(upper)));
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!afx::IsLiveWindow(hwnd)) return FALSE;
  afx::PostToUi([=] {
    if (CWnd* window = CWnd::FromHandle(hwnd)) window->SendMessage(message, wParam, lParam);
  });
  return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) { return afx::FindChild(dialog, id); }

BOOL ShowWindow(HWND hwnd, int command) {
  if (!afx::IsUiThread()) {
    if (!afx::IsLiveWindow(hwnd)) return FALSE;
    afx::PostToUi([=] { ::ShowWindow(hwnd, command); });
    return TRUE;
  }
  WindowState* s = FindWindowState(hwnd);
  if (!s) return FALSE;
  const BOOL wasVisible = s->visible;
  const bool visible = command != SW_HIDE;
  if (s->visible != visible) {
    s->visible = visible;
    afx::NotifyChange(*s, afx::Change::Visible);
  }
  return wasVisible;
}
