#include "app/status_channel.h"

#include <limits>

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
  bool post = false;
  {
    std::lock_guard<std::mutex> guard(g_statusLock);
    g_nCountTotal = Truncate<std::int32_t>(dltotal) / 1024;
    g_nCountDone = Truncate<std::int32_t>(dlnow) / 1024;
    post = !g_bCountPending;
    g_bCountPending = true;
  }
  if (post && !PostMessageW(job->hWnd, WM_STATUS_CHANGED, 0, 0)) {
    std::lock_guard<std::mutex> guard(g_statusLock);
    g_bCountPending = false;
  }
  return 0;
}

int FileProgressCallback(void* user, double, double dlnow, double, double) {
  auto* job = static_cast<JOBPARAM*>(user);
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
