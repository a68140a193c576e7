#include "app/status_log_view.h"

void CStatusLogView::Take(const StatusNote& note, CString& shown) {
  if (note.replaceLog) {
    shown = note.logText;
    m_strAdded.Empty();
    m_bWhole = true;
    return;
  }
  shown += note.logText;
  m_strAdded += note.logText;
}

void CStatusLogView::Show(CEdit& edit, const CString& shown) {
  const int held = edit.GetWindowTextLength();
  if (m_bWhole || edit.GetModify() || held + m_strAdded.GetLength() != shown.GetLength()) {
    edit.SetWindowText(shown);
  } else if (!m_strAdded.IsEmpty()) {
    edit.SetSel(held, held, TRUE);
    edit.ReplaceSel(m_strAdded);
  }
  m_bWhole = false;
  m_strAdded.Empty();
}
