#include "core/status_channel.h"

#include <limits>

#include "platform/system.h"

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

// Blocks until the window's handler has cleared the flag.
void WaitForClear(std::atomic<std::uint32_t>& flag) {
  for (std::uint32_t value = flag.load(); value != 0; value = flag.load()) flag.wait(value);
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

// Posts a count-line notification unless one is still queued.
void PostCountLine(JOBPARAM* job) {
  bool post = false;
  {
    std::lock_guard<std::mutex> guard(g_statusLock);
    post = !g_bCountPending;
    g_bCountPending = true;
  }
  if (post && !PostMessageW(job->hWnd, WM_STATUS_CHANGED, 0, 0)) {
    std::lock_guard<std::mutex> guard(g_statusLock);
    g_bCountPending = false;
  }
}

// The stall watch of the job thread's transfers: the byte count of the last
// callback and when it last grew. A gap between callbacks longer than any
// transfer leaves between its own callbacks starts a new watch.
double s_lastBytes = -1;
ULONGLONG s_lastGrowth = 0;
ULONGLONG s_lastCall = 0;
constexpr ULONGLONG kNewTransferGapMs = 2000;

// Updates g_nStalledSeconds for a callback that reports dlnow bytes; true
// when the count line should show a change.
bool WatchForStall(double dlnow) {
  const ULONGLONG now = GetTickCount64();
  if (dlnow != s_lastBytes || now - s_lastCall > kNewTransferGapMs) {
    s_lastBytes = dlnow;
    s_lastGrowth = now;
  }
  s_lastCall = now;
  const ULONGLONG quiet = now - s_lastGrowth;
  const std::int32_t seconds = quiet > kStallNoticeMs ? static_cast<std::int32_t>(quiet / 1000) : 0;
  std::lock_guard<std::mutex> guard(g_statusLock);
  if (seconds == g_nStalledSeconds) return false;
  g_nStalledSeconds = seconds;
  return true;
}

}  // namespace

void PostStatus(JOBPARAM* job, CString text) {
  {
    std::lock_guard<std::mutex> guard(g_statusLock);
    g_strStatusLog += text;
  }
  g_bStatusPending = 1;
  PostAndWait(job->hWnd, WM_STATUS_CHANGED, g_bStatusPending);
}

void WaitForStatusTaken() { WaitForClear(g_bStatusPending); }

int CountProgressCallback(void* user, double dltotal, double dlnow, double, double) {
  auto* job = static_cast<JOBPARAM*>(user);
  WatchForStall(dlnow);
  {
    std::lock_guard<std::mutex> guard(g_statusLock);
    // A server that announces no size gets the size received so far as the
    // total, so that the line grows instead of showing 0.
    g_nCountTotal = Truncate<std::int32_t>(dltotal > 0 ? dltotal : dlnow) / 1024;
    g_nCountDone = Truncate<std::int32_t>(dlnow) / 1024;
  }
  PostCountLine(job);
  return 0;
}

int FileProgressCallback(void* user, double, double dlnow, double, double) {
  auto* job = static_cast<JOBPARAM*>(user);
  if (WatchForStall(dlnow)) PostCountLine(job);
  // Only this thread writes the size and the percent; the lock is for the
  // window, which reads them.
  if (g_nFileSize == 0) return 0;
  const std::uint32_t percent = Truncate<std::uint32_t>(dlnow / g_nFileSize * 100.0);
  if (percent <= g_nFilePercent) return 0;
  {
    std::lock_guard<std::mutex> guard(g_statusLock);
    g_nFilePercent = percent;
  }
  g_bFilePending = 1;
  PostAndWait(job->hWnd, WM_FILE_PROGRESS, g_bFilePending);
  return 0;
}
