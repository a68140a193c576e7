// The system's requests to end the program (signals, the console's Ctrl-C),
// routed to the main window, which stops a running job safely and closes.
#pragma once

#include "platform/wintypes.h"

// Posted to the main window: wParam is the request's name (a const char*
// that lives as long as the program), lParam 1 when it came from the
// keyboard.
constexpr UINT WM_STOP_REQUEST = 0x505;

// Starts watching for the requests. One that comes before the main window
// shows ends the program at once with exitStatus: nothing has been changed
// then.
void WatchForStopRequests(int exitStatus);
// The main window that takes the requests; null once it has ended, when
// requests are left alone (the program is ending anyway).
void SetStopRequestWindow(HWND window);
