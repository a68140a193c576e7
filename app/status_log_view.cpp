#include "app/status_log_view.h"

void CStatusLogView::Take(const CStatusLog& log, CString& shown) {
  const bool grew = m_nTaken >= 0 && log.GetReplaceCount() == m_nReplaceCount &&
                    log.GetLength() >= m_nTaken && shown.GetLength() == m_nTaken;
  if (grew) {
    const CString added = log.Mid(m_nTaken);
    shown += added;
    m_strAdded += added;
  } else {
    shown = log;
    m_strAdded.Empty();
    m_bWhole = true;
  }
  m_nReplaceCount = log.GetReplaceCount();
  m_nTaken = log.GetLength();
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
