#include "app/status_channel.h"

#include <algorithm>
#include <condition_variable>
#include <limits>

#include "framework/uiqueue.h"
#include "platform/system.h"
#include "res/resource.h"

std::mutex g_statusLock;
CStatusLog g_strStatusLog;
CString g_strCountUnit;
std::int32_t g_nCountTotal = 0;
std::int32_t g_nCountDone = 0;
std::atomic<std::uint32_t> g_bStatusPending{0};
CString g_strFileName;
std::uint32_t g_nFileSize = 0;
std::uint32_t g_nFilePercent = 0;
std::atomic<std::uint32_t> g_bFilePending{0};
bool g_bCountPending = false;
std::int32_t g_nStalledSeconds = 0;

namespace {

constexpr ULONGLONG kNewTransferGapMs = 2000;

// The handshakes wait on a condition variable rather than on the atomic
// itself: the atomic wait of the Windows toolchain's C++ library can miss a
// wake-up and block for good.
std::mutex g_handshakeLock;
std::condition_variable g_handshakeCleared;

// Blocks until the window's handler has cleared the flag.
void WaitForClear(std::atomic<std::uint32_t>& flag) {
  std::unique_lock<std::mutex> lock(g_handshakeLock);
  g_handshakeCleared.wait(lock, [&] { return flag.load() == 0; });
}

// Posts the notification and waits until the window has taken it. A window
// that is gone can never clear the flag, so then nothing is waited for.
void PostAndWait(HWND hWnd, UINT message, std::atomic<std::uint32_t>& flag) {
  if (PostMessageW(hWnd, message, 0, 0)) {
    WaitForClear(flag);
    return;
  }
  flag = 0;
}

// Truncates toward zero into the target range; values beyond it stop at
// its ends.
template <class T>
T Truncate(double value) {
  if (!(value > 0)) return 0;  // also NaN
  if (value >= static_cast<double>(std::numeric_limits<T>::max()))
    return std::numeric_limits<T>::max();
  return static_cast<T>(value);
}

}  // namespace

void ClearHandshake(std::atomic<std::uint32_t>& flag) {
  {
    std::lock_guard<std::mutex> lock(g_handshakeLock);
    flag = 0;
  }
  g_handshakeCleared.notify_all();
}

void CWindowReporter::SetStatus(const CString& log) {
  std::lock_guard<std::mutex> guard(g_statusLock);
  g_strStatusLog = log;
}

void CWindowReporter::AppendStatus(const CString& text) {
  std::lock_guard<std::mutex> guard(g_statusLock);
  g_strStatusLog += text;
}

void CWindowReporter::PostStatus(const CString& text) {
  AppendStatus(text);
  g_bStatusPending = 1;
  if (!afx::IsUiThread()) {
    PostAndWait(m_hWnd, WM_STATUS_CHANGED, g_bStatusPending);
    return;
  }
  // A flow on the UI thread (change user info) cannot wait for the window's
  // queue, which it holds up: the window takes the notification at once.
  if (CWnd* window = CWnd::FromHandle(m_hWnd))
    window->SendMessage(WM_STATUS_CHANGED, 0, 0);
  else
    g_bStatusPending = 0;
}

void CWindowReporter::SetCountUnit(const CString& unit) {
  std::lock_guard<std::mutex> guard(g_statusLock);
  g_strCountUnit = unit;
}

void CWindowReporter::SetCountTotal(std::int32_t total) {
  std::lock_guard<std::mutex> guard(g_statusLock);
  g_nCountTotal = total;
}

void CWindowReporter::SetCountDone(std::int32_t done) {
  std::lock_guard<std::mutex> guard(g_statusLock);
  g_nCountDone = done;
}

void CWindowReporter::AddCountDone(std::int32_t count) {
  std::lock_guard<std::mutex> guard(g_statusLock);
  g_nCountDone += count;
}

void CWindowReporter::ShowFile(const CString& name, std::uint32_t size) {
  {
    std::lock_guard<std::mutex> guard(g_statusLock);
    g_strFileName = name;
    g_nFileSize = size;
    g_nFilePercent = 0;
  }
  PostMessageW(m_hWnd, WM_FILE_PROGRESS, 0, 0);
}

// Posts a count-line notification unless one is still queued.
void CWindowReporter::PostCountLine() {
  bool post = false;
  {
    std::lock_guard<std::mutex> guard(g_statusLock);
    post = !g_bCountPending;
    g_bCountPending = true;
  }
  if (post && !PostMessageW(m_hWnd, WM_STATUS_CHANGED, 0, 0)) {
    std::lock_guard<std::mutex> guard(g_statusLock);
    g_bCountPending = false;
  }
}

bool CWindowReporter::WatchForStall(double now) {
  const ULONGLONG tick = GetTickCount64();
  if (now != m_lastBytes || tick - m_lastCall > kNewTransferGapMs) {
    m_lastBytes = now;
    m_lastGrowth = tick;
  }
  m_lastCall = tick;
  const ULONGLONG quiet = tick - m_lastGrowth;
  const std::int32_t seconds = quiet > kStallNoticeMs ? static_cast<std::int32_t>(quiet / 1000) : 0;
  std::lock_guard<std::mutex> guard(g_statusLock);
  if (seconds == g_nStalledSeconds) return false;
  g_nStalledSeconds = seconds;
  return true;
}

void CWindowReporter::CountProgress(double total, double now) {
  WatchForStall(now);
  {
    std::lock_guard<std::mutex> guard(g_statusLock);
    // A server that announces no size gets the size received so far as the
    // total, so that the line grows instead of showing 0.
    g_nCountTotal = Truncate<std::int32_t>(total > 0 ? total : now) / 1024;
    g_nCountDone = Truncate<std::int32_t>(now) / 1024;
  }
  PostCountLine();
}

void CWindowReporter::FileProgress(double now) {
  if (WatchForStall(now)) PostCountLine();
  // Only this thread writes the size and the percent; the lock is for the
  // window, which reads them.
  if (g_nFileSize == 0) return;
  // A transfer that brings more than the file's size still shows a full bar.
  const std::uint32_t percent = std::min<std::uint32_t>(100, Truncate<std::uint32_t>(now / g_nFileSize * 100.0));
  if (percent <= g_nFilePercent) return;
  {
    std::lock_guard<std::mutex> guard(g_statusLock);
    g_nFilePercent = percent;
  }
  g_bFilePending = 1;
  PostAndWait(m_hWnd, WM_FILE_PROGRESS, g_bFilePending);
}

void CWindowReporter::ShowProgress(ProgressPart part, bool show) {
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
  return AfxMessageBox(text, type);
}

void CWindowReporter::LaunchClient(NewClient client) {
  PostMessageW(m_hWnd, WM_LAUNCH_CLIENT, static_cast<WPARAM>(client), 0);
}

void CWindowReporter::Finished(int result) { PostMessageW(m_hWnd, WM_JOB_FINISHED, 0, result); }
