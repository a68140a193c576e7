#include "app/status_channel.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <utility>

#include "framework/uiqueue.h"
#include "res/resource.h"

CStatusQueue g_statusQueue;

namespace {
std::atomic<bool> g_cancelRequested{false};
std::mutex g_stopLineLock;
CString g_stopLine;  // guarded by g_stopLineLock

constexpr ULONGLONG kNewTransferGapMs = 2000;

// Whether a log ends a line once text is added to it (empty text: as it did).
bool EndsLine(const CString& text, bool before) {
  return text.IsEmpty() ? before : text[text.GetLength() - 1] == L'\n';
}

// A box's text as a line of the status log: "  * " in front, its further
// lines indented below.
CString BoxLine(const CString& text) {
  CString line = L"  * ";
  for (int i = 0; i < text.GetLength(); ++i) {
    if (text[i] == L'\r') continue;
    if (text[i] == L'\n')
      line += L"\r\n    ";
    else
      line += text[i];
  }
  return line + L"\r\n";
}

// Truncates toward zero into the target range; values beyond it stop at
// its ends.
template <class T>
T Truncate(double value) {
  if (!(value > 0)) return 0;  // also NaN
  if (value >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(value);
}

}  // namespace

void RequestJobCancel(const CString& stopLine) {
  {
    std::lock_guard<std::mutex> guard(g_stopLineLock);
    g_stopLine = stopLine;
  }
  g_cancelRequested = true;
}

void ClearJobCancel() { g_cancelRequested = false; }

bool CStatusQueue::Push(Note note) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_notes.push_back(std::move(note));
  return m_notes.size() == 1;
}

std::vector<Note> CStatusQueue::TakeAll() {
  std::lock_guard<std::mutex> guard(m_lock);
  return std::exchange(m_notes, {});
}

void CStatusQueue::Clear() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_notes.clear();
}

void CWindowReporter::SetStatus(const CString& log) {
  m_unsentLog = log;
  m_replaceLog = true;
  m_logAtLineStart = EndsLine(log, true);
}

void CWindowReporter::AppendStatus(const CString& text) {
  m_unsentLog += text;
  m_logAtLineStart = EndsLine(text, m_logAtLineStart);
}

void CWindowReporter::PostStatus(const CString& text) {
  AppendStatus(text);
  SendHeldProgress();
  SendStatus();
}

void CWindowReporter::SendStatus() {
  StatusNote note = m_count;
  note.replaceLog = std::exchange(m_replaceLog, false);
  note.logText = std::exchange(m_unsentLog, CString());
  m_countHeld = false;
  Send(std::move(note), WM_STATUS_CHANGED);
}

void CWindowReporter::SendFile() {
  m_fileHeld = false;
  Send(m_file, WM_FILE_PROGRESS);
}

void CWindowReporter::Send(Note note, UINT message) {
  const bool first = g_statusQueue.Push(std::move(note));
  if (afx::IsUiThread()) {
    // A flow on the UI thread (change user info) cannot leave the note to
    // the window's queue, which it holds up: the window takes it at once.
    if (CWnd* window = CWnd::FromHandle(m_hWnd))
      window->SendMessage(message, 0, 0);
    else
      g_statusQueue.Clear();
    return;
  }
  if (first && !PostMessageW(m_hWnd, message, 0, 0)) g_statusQueue.Clear();
}

void CWindowReporter::SendHeldProgress() {
  if (m_fileHeld) SendFile();
  if (m_countHeld) SendStatus();
}

bool CWindowReporter::ProgressDue(std::optional<ULONGLONG>& lastSent) {
  const ULONGLONG now = m_clock();
  if (lastSent && now - *lastSent < kProgressIntervalMs) return false;
  lastSent = now;
  return true;
}

void CWindowReporter::ShowFile(const CString& name, std::uint32_t size) {
  SendHeldProgress();
  m_file = FileNote{name, size, 0};
  SendFile();
}

bool CWindowReporter::WatchForStall(double now) {
  const ULONGLONG tick = m_clock();
  if (now != m_lastBytes || tick - m_lastCall > kNewTransferGapMs) {
    m_lastBytes = now;
    m_lastGrowth = tick;
  }
  m_lastCall = tick;
  const ULONGLONG quiet = tick - m_lastGrowth;
  const std::int32_t seconds = quiet > kStallNoticeMs ? static_cast<std::int32_t>(quiet / 1000) : 0;
  if (seconds == m_count.stalledSeconds) return false;
  m_count.stalledSeconds = seconds;
  return true;
}

bool CWindowReporter::IsCancelled() const { return g_cancelRequested; }

CString CWindowReporter::StopLine() const {
  std::lock_guard<std::mutex> guard(g_stopLineLock);
  return g_stopLine;
}

void CWindowReporter::AddBytesDone(std::uint64_t bytes) {
  m_partsDone += bytes;
  CountBytes(0);
}

void CWindowReporter::CountBytes(std::uint64_t fileBytes) {
  const std::uint64_t arrived = m_partsDone + fileBytes;
  m_count.bytesDone = std::max(m_count.bytesDone, arrived);
  if (m_count.bytesTotal == 0) return;
  m_rate.Add(m_clock(), arrived);
  m_count.bytesPerSecond = m_rate.BytesPerSecond();
}

void CWindowReporter::PauseTransfers() {
  m_rate.Pause(m_clock());
  m_count.bytesPerSecond = 0;
  m_count.stalledSeconds = 0;
  m_countHeld = true;  // shown before anything else
}

void CWindowReporter::ResumeTransfers() {
  m_rate.Resume(m_clock());
}

void CWindowReporter::CountProgress(double total, double now) {
  // Before the answer's size or first byte is known there is nothing to
  // count yet, only a stall to notice.
  if (!(total > 0) && !(now > 0)) {
    if (WatchForStall(now)) SendStatus();
    return;
  }
  WatchForStall(now);
  // A server that announces no size gets the size received so far as the
  // total, so that the line grows instead of showing 0. Below a kilobyte
  // the line counts bytes: a small answer does not show "0/0 KB".
  const std::int32_t totalBytes = Truncate<std::int32_t>(total > 0 ? total : now);
  const std::int32_t unit = totalBytes < 1024 ? 1 : 1024;
  m_count.countUnit = unit == 1 ? CString(L"B") : m_jobUnit;
  m_count.countTotal = totalBytes / unit;
  m_count.countDone = Truncate<std::int32_t>(now) / unit;
  if (ProgressDue(m_countSent))
    SendStatus();
  else
    m_countHeld = true;
}

void CWindowReporter::FileProgress(double now) {
  if (WatchForStall(now)) SendStatus();  // the notice comes and goes at once
  if (m_file.size == 0) return;
  if (m_count.bytesTotal > 0) {
    CountBytes(Truncate<std::uint64_t>(std::min<double>(now, m_file.size)));
    if (ProgressDue(m_countSent))
      SendStatus();
    else
      m_countHeld = true;
  }
  // A transfer that brings more than the file's size still shows a full bar.
  const std::uint32_t percent =
      std::min<std::uint32_t>(100, Truncate<std::uint32_t>(now / m_file.size * 100.0));
  if (percent <= m_file.percent) return;
  m_file.percent = percent;
  if (ProgressDue(m_fileSent))
    SendFile();
  else
    m_fileHeld = true;
}

void CWindowReporter::ShowProgress(ProgressPart part, bool show) {
  SendHeldProgress();
  static constexpr int kCountLine[] = {IDC_COUNT_BAR, IDC_COUNT_TEXT};
  static constexpr int kFileLine[] = {IDC_FILE_BAR, IDC_FILE_TEXT};
  const int command = show ? SW_SHOW : SW_HIDE;
  auto apply = [&](const auto& ids) {
    for (int id : ids)
      if (HWND control = GetDlgItem(m_hWnd, id)) ShowWindow(control, command);
  };
  if (part != ProgressPart::kFileLine) apply(kCountLine);
  if (part != ProgressPart::kCountLine) apply(kFileLine);
}

int CWindowReporter::ShowMessageBox(const CString& text, UINT type) {
  // A box that tells of a failure ends the job: what it said stays in the
  // status log once it is closed, for whoever reads the log later. An
  // information box tells an outcome that the job's own lines give.
  if ((type & MB_TYPEMASK) == MB_OK && (type & MB_ICONMASK) != MB_ICONINFORMATION)
    PostStatus(CString(m_logAtLineStart ? L"" : L"\r\n") + BoxLine(text));
  SendHeldProgress();
  return AfxMessageBox(text, type);
}

void CWindowReporter::LaunchClient(NewClient client) {
  SendHeldProgress();
  PostMessageW(m_hWnd, WM_LAUNCH_CLIENT, static_cast<WPARAM>(client), 0);
}

void CWindowReporter::Finished(int result) {
  SendHeldProgress();
  PostMessageW(m_hWnd, WM_JOB_FINISHED, 0, result);
}
