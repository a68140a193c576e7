// Message maps: a static table per window class of {message, control id,
// handler}. Handlers are member functions bound at compile time through
// typed thunks; a map chains to its base class's map.
#pragma once

#include "platform/wintypes.h"

class CWnd;

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nID;  // WM_COMMAND: the control id; 0 otherwise
  LRESULT (*pfnThunk)(CWnd* window, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace afx {

template <class T, auto Handler>
LRESULT CommandThunk(CWnd* window, WPARAM, LPARAM) {
  (static_cast<T*>(window)->*Handler)();
  return 0;
}

template <class T, auto Handler>
LRESULT MessageThunk(CWnd* window, WPARAM wParam, LPARAM lParam) {
  return (static_cast<T*>(window)->*Handler)(wParam, lParam);
}

// Finds the handler for a message in the window's map chain and calls it;
// without one, the window's default handling runs.
LRESULT DispatchMessage(CWnd* window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace afx

#define DECLARE_MESSAGE_MAP()                                  \
 protected:                                                    \
  static const AFX_MSGMAP* GetThisMessageMap();                \
  const AFX_MSGMAP* GetMessageMap() const override;            \
                                                               \
 private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                              \
    using ThisClass = theClass;                                                  \
    using TheBaseClass = baseClass;                                              \
    static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                     \
  {0, 0, nullptr}                                                             \
  }                                                                           \
  ;                                                                           \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, entries}; \
  return &messageMap;                                                         \
  }

#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, static_cast<UINT>(id), &afx::CommandThunk<ThisClass, &ThisClass::memberFxn>},
#define ON_MESSAGE(message, memberFxn) \
  {message, 0, &afx::MessageThunk<ThisClass, &ThisClass::memberFxn>},
