// The main window's side of the status channel: the job threads, starting a
// job, and showing what the job reports.
#include "app/main_dialog.h"
#include "app/status_channel.h"
#include "core/catalogue.h"
#include "core/progress_text.h"
#include "core/update_result.h"
#include "manual/manual_job.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "res/resource.h"
#include "update/client_files.h"
#include "update/self_update.h"
#include "update/update_job.h"

namespace {

// The progress bars take 16-bit ranges, which this framework reads as
// signed; larger counts are divided down together so that the bar stays
// proportional.
constexpr std::uint64_t kMaxBarRange = 0x7FFF;

// "7/11 Files", then, once bytes are counted, "  12.3 / 57.0 MB" and, with
// their speed known, "  2.1 MB/s  0:23 left"; a stalled transfer tells how
// long it has been quiet instead of its speed.
CString CountLineText(const StatusNote& note) {
  CString line;
  line.Format(L"%d/%d %s", note.countDone, note.countTotal, note.countUnit);
  if (note.bytesTotal > 0 && (note.bytesDone > 0 || note.stalledSeconds > 0)) {
    CString bytes;
    bytes.Format(GetMsg(Msg::kCountBytes), MegabytesText(note.bytesDone), MegabytesText(note.bytesTotal));
    line += bytes;
  }
  CString tail;
  if (note.stalledSeconds > 0) {
    tail.Format(GetMsg(Msg::kNoDataFor), note.stalledSeconds);
  } else if (note.bytesPerSecond > 0) {
    const std::uint64_t left = note.bytesTotal > note.bytesDone ? note.bytesTotal - note.bytesDone : 0;
    const auto seconds = static_cast<std::uint64_t>(static_cast<double>(left) / note.bytesPerSecond + 0.5);
    tail.Format(GetMsg(Msg::kCountSpeed), MegabytesText(static_cast<std::uint64_t>(note.bytesPerSecond)),
                DurationText(seconds));
  }
  return line + tail;
}

void PutCaretAtEnd(CEdit& edit, const CString& text) {
  edit.SendMessage(EM_SETSEL, static_cast<WPARAM>(text.GetLength()), text.GetLength());
  edit.SendMessage(EM_SCROLLCARET, 0, 0);
}

}  // namespace

// The job threads live with the window that starts them, so that the status
// channel itself does not depend on the jobs.
UINT UpdateThreadProc(void* param) {
  auto* job = static_cast<JOBPARAM*>(param);
  CWindowReporter reporter(job->hWnd);
  const int result = RunUpdateJob(job, reporter);
  // The job's result travels with its end notice, so that the window holds
  // the outcome of the last update.
  reporter.Finished(result);
  if (job->bBatch) reporter.LaunchClient(NewClient::kNone);
  delete job;
  return static_cast<UINT>(result);
}

UINT ManualThreadProc(void* param) {
  auto* job = static_cast<JOBPARAM*>(param);
  CWindowReporter reporter(job->hWnd);
  const int result = RunManualJob(job, reporter);
  reporter.Finished(0);
  delete job;
  return static_cast<UINT>(result);
}

bool CHalyardDlg::StartJob(AFX_THREADPROC proc, bool updateJob) {
  auto* job = new JOBPARAM;
  UpdateData(TRUE);
  job->hWnd = GetSafeHwnd();
  job->strSerial = m_strSerial;
  job->strPassword = m_strPassword;
  job->bUpdateNews = m_bUpdateNews;
  job->bProgramOffCard = m_bProgramOffCard ? 1 : 0;
  if (updateJob) {
    job->bBatch = m_bBatch ? 1 : 0;
    job->bSelfUpdated = m_bFinishSelfUpdate ? 1 : 0;
  }
  for (int i = 0; i < 255; ++i) job->szModulePath[i] = m_szModulePath[i];
  CProgressCtrl& bar = updateJob ? m_progressFile : m_progressTotal;
  (updateJob ? m_strFileText : m_strCountText) = L"";
  bar.SendMessage(PBM_SETPOS, 0, 0);
  bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  // The last run's count line ("11/11 Files") is no news for this one.
  m_strCountText = L"";
  ShowJobMembers();
  ClearJobCancel();
  // The manual download disables its own button too: one job at a time.
  for (int id : {IDC_START_UPDATE, IDC_SERIAL, IDC_PASSWORD, IDC_UPDATE_NEWS, IDC_CHANGE_USER_INFO,
                 IDOK, IDC_DOWNLOAD_MANUAL})
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(FALSE);
  m_bJobRunning = true;
  if (AfxBeginThread(proc, job, 0, 0, 0, nullptr)) return true;
  // No thread: nothing will ever post WM_JOB_FINISHED, so recover here.
  delete job;
  OnJobFinished(0, kUpdateNotFinished);
  AfxMessageBox(GetMsg(Msg::kMemoryError), MB_OK);
  return false;
}

// What a job changes of the data exchange's members, written to the controls
// as UpdateData(FALSE) would (the others stay as the job found them: their
// controls are disabled), with the status log appended to rather than
// copied whole.
void CHalyardDlg::ShowJobMembers() {
  m_statusLogView.Show(m_editStatus, m_strStatus);
  for (auto [id, text] :
       {std::pair{IDC_COUNT_TEXT, &m_strCountText}, std::pair{IDC_FILE_TEXT, &m_strFileText}})
    if (CWnd* control = GetDlgItem(id)) control->SetWindowText(*text);
}

// Either message shows every note waiting, in order: only the first of a
// run of notes is posted.
LRESULT CHalyardDlg::OnStatusChanged(WPARAM, LPARAM) {
  ShowNotes();
  return 0;
}

LRESULT CHalyardDlg::OnFileProgress(WPARAM, LPARAM) {
  ShowNotes();
  return 0;
}

void CHalyardDlg::ShowNotes() {
  for (const Note& note : g_statusQueue.TakeAll()) std::visit([this](const auto& n) { ShowNote(n); }, note);
}

void CHalyardDlg::ShowNote(const StatusNote& note) {
  m_strCountText = CountLineText(note);
  m_statusLogView.Take(note, m_strStatus);
  // The bar measures bytes when the job has told them, else its count.
  const bool bytes = note.bytesTotal > 0;
  const std::uint64_t total = bytes ? note.bytesTotal : static_cast<std::uint64_t>(std::max(note.countTotal, 0));
  const std::uint64_t done =
      std::min(total, bytes ? note.bytesDone : static_cast<std::uint64_t>(std::max(note.countDone, 0)));
  const std::uint64_t divisor = total > kMaxBarRange ? total / kMaxBarRange + 1 : 1;
  m_progressTotal.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(bytes ? 0 : 1, static_cast<WORD>(total / divisor)));
  m_progressTotal.SendMessage(PBM_SETPOS, static_cast<WPARAM>(done / divisor), 0);
  ShowJobMembers();
  PutCaretAtEnd(m_editStatus, m_strStatus);
}

void CHalyardDlg::ShowNote(const FileNote& note) {
  if (note.size == 0) {
    m_strFileText.Format(L"%s", note.name);
    m_progressFile.SendMessage(PBM_SETPOS, 0, 0);
    ShowJobMembers();
    PutCaretAtEnd(m_editStatus, m_strStatus);
    return;
  }
  m_strFileText.Format(L"%s - %lu%% (%s)", note.name, static_cast<unsigned long>(note.percent),
                       SizeText(note.size));
  if (CWnd* line = GetDlgItem(IDC_FILE_TEXT)) line->SetWindowText(m_strFileText);
  m_progressFile.SendMessage(PBM_SETPOS, static_cast<WPARAM>(note.percent), 0);
}

LRESULT CHalyardDlg::OnLaunchClient(WPARAM wParam, LPARAM) {
  // A hand-over that fails leaves the old client in charge: the window stays
  // (an unattended run then ends with its WM_LAUNCH_CLIENT 0).
  CWindowReporter reporter(GetSafeHwnd());
  if (static_cast<NewClient>(wParam) == NewClient::kCardCopy && CopyCardClient(reporter) != 0) {
    m_nUpdateResult = kUpdateTransferFailed;
    return 0;
  }
  if (static_cast<NewClient>(wParam) != NewClient::kNone) {
    // The pause lets the files of this run settle before the new client
    // renames itself into place; a run that starts nothing ends at once.
    Sleep(200);
    // An unattended run stays unattended through the hand-over.
    const char* parameters = m_bBatch ? "/e /b" : "/e";
    if (!ShellSucceeded(ShellExecuteA(nullptr, "open", kNewClient, parameters, nullptr, SW_SHOWNORMAL))) {
      m_nUpdateResult = kUpdateTransferFailed;
      reporter.ShowMessage(Msg::kErrorDownloading);
      return 0;
    }
    m_nUpdateResult = kUpdateHandedOver;
  }
  EndDialog(0);
  return 0;
}
