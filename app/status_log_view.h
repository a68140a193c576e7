// Keeps the main window's status log control equal to the shared status log
// at the cost of what was added: the control is given only the text appended
// since the window last took the log. The whole text is set instead when the
// job replaced the log, when the user typed into the control (the next
// notification overwrites that) or when the window set other text.
#pragma once

#include "app/status_channel.h"

class CStatusLogView {
 public:
  // Takes the log over into the window's copy, shown. On the UI thread,
  // with g_statusLock held.
  void Take(const CStatusLog& log, CString& shown);
  // Makes the control show shown, appending what Take added when the control
  // holds the rest. On the UI thread, without the lock.
  void Show(CEdit& edit, const CString& shown);

 private:
  std::uint32_t m_nReplaceCount = 0;
  int m_nTaken = -1;  // length of the log taken last; -1: none yet
  bool m_bWhole = false;  // Take replaced shown: the control needs all of it
  CString m_strAdded;     // what Take added to shown since the last Show
};
