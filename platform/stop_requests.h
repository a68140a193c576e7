// The requests to end the program that the system delivers to it: on POSIX
// the signals SIGINT (Ctrl-C in a terminal), SIGTERM (a service manager or
// scheduler stopping it) and SIGHUP (its terminal closed); on Windows the
// console's Ctrl-C, Ctrl-Break and the closing of its console window.
#pragma once

// name is the request's name ("SIGTERM", "Ctrl-C"), a text that lives as
// long as the program; fromKeyboard tells a key the user pressed.
using StopRequestHandler = void (*)(const char* name, bool fromKeyboard);

// From this call on, the first such request calls onStop on a thread of its
// own (never inside a signal handler, so onStop may post window messages);
// the ones after it have the system's default effect and end the program at
// once. A signal that the program was started with ignored (nohup) stays
// ignored. A closing console window gives the program the few seconds the
// system allows before it ends it.
void WatchStopRequests(StopRequestHandler onStop);
