// Keeps the main window's status log control equal to the status log that
// the job reports, at the cost of what was added: the control is given only
// the text a notification appended. The whole text is set instead when the
// job replaced the log, when the user typed into the control (the next
// notification overwrites that) or when the window set other text.
#pragma once

#include "app/status_channel.h"

class CStatusLogView {
 public:
  // Takes a notification's log text over into the window's copy, shown.
  void Take(const StatusNote& note, CString& shown);
  // Makes the control show shown, appending what Take added when the control
  // holds the rest.
  void Show(CEdit& edit, const CString& shown);

 private:
  bool m_bWhole = true;  // the control needs all of shown
  CString m_strAdded;    // what Take added to shown since the last Show
};
