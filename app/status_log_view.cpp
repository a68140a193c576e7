#include "app/status_log_view.h"

namespace {
// The window keeps the log's last lines only, as the rich-edit control keeps
// its first 32,767 characters unless told otherwise: a pass over tens of
// thousands of files would hold megabytes of text in every copy. Once the
// log passes twice this many characters its oldest lines go, so the control
// is given the whole text again only once in that many.
constexpr int kKeptLogChars = 64 * 1024;

// Drops whole lines from the front of a log longer than twice the kept
// length, down to at most the kept length; whether it did.
bool KeepTail(CString& log) {
  if (log.GetLength() <= 2 * kKeptLogChars) return false;
  const int lineEnd = log.Find(L'\n', log.GetLength() - kKeptLogChars);
  log = log.Mid(lineEnd < 0 ? log.GetLength() - kKeptLogChars : lineEnd + 1);
  return true;
}
}  // namespace

void CStatusLogView::Take(const StatusNote& note, CString& shown) {
  if (note.replaceLog) {
    shown = note.logText;
    KeepTail(shown);
    m_strAdded.Empty();
    m_bWhole = true;
    return;
  }
  shown += note.logText;
  m_strAdded += note.logText;
  if (KeepTail(shown)) {
    m_strAdded.Empty();
    m_bWhole = true;
  }
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
