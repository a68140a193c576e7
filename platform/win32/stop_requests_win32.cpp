#include "platform/stop_requests.h"

#include <windows.h>

namespace {
StopRequestHandler g_onStop = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  const char* name = nullptr;
  switch (event) {
    case CTRL_C_EVENT: name = "Ctrl-C"; break;
    case CTRL_BREAK_EVENT: name = "Ctrl-Break"; break;
    case CTRL_CLOSE_EVENT: name = "console window closed"; break;
    default: return FALSE;  // the system's default
  }
  // The next request ends the program as the system does.
  SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  g_onStop(name, event != CTRL_CLOSE_EVENT);
  // The system ends the program once this returns from a closing console:
  // waiting gives the stop the seconds the system allows.
  if (event == CTRL_CLOSE_EVENT) Sleep(INFINITE);
  return TRUE;
}
}  // namespace

void WatchStopRequests(StopRequestHandler onStop) {
  if (g_onStop) return;
  g_onStop = onStop;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
