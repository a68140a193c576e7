#include "app/stop_requests.h"

#include <atomic>

#include "framework/afx.h"
#include "platform/process_end.h"
#include "platform/stop_requests.h"

namespace {
std::atomic<int> g_exitStatus{0};
std::atomic<HWND> g_window{nullptr};
std::atomic<bool> g_windowEnded{false};

void OnStopRequest(const char* name, bool fromKeyboard) {
  if (const HWND window = g_window.load()) {
    PostMessageW(window, WM_STOP_REQUEST, reinterpret_cast<WPARAM>(name), fromKeyboard ? 1 : 0);
    return;
  }
  if (!g_windowEnded) EndProcess(g_exitStatus);
}
}  // namespace

void WatchForStopRequests(int exitStatus) {
  g_exitStatus = exitStatus;
  WatchStopRequests(OnStopRequest);
}

void SetStopRequestWindow(HWND window) {
  if (!window) g_windowEnded = true;
  g_window = window;
}
