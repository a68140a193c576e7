#include "platform/stop_requests.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace {
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The signal handler's way out: it writes the signal's number here, and the
// watching thread reads it.
int g_pipe[2] = {-1, -1};

// Async-signal-safe only: restores the defaults, so that the next request
// ends the program, and wakes the watching thread.
void OnStopSignal(int number) {
  const int saved = errno;
  for (int signal : kStopSignals) {
    struct sigaction action = {};
    sigaction(signal, nullptr, &action);
    if (action.sa_handler == OnStopSignal) {
      action.sa_handler = SIG_DFL;
      sigaction(signal, &action, nullptr);
    }
  }
  const unsigned char byte = static_cast<unsigned char>(number);
  (void)!write(g_pipe[1], &byte, 1);
  errno = saved;
}

const char* SignalName(int number) {
  switch (number) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    default: return "SIGHUP";
  }
}
}  // namespace

void WatchStopRequests(StopRequestHandler onStop) {
  if (g_pipe[0] >= 0 || pipe2(g_pipe, O_CLOEXEC) != 0) return;
  std::thread([onStop] {
    unsigned char number = 0;
    ssize_t got;
    while ((got = read(g_pipe[0], &number, 1)) < 0 && errno == EINTR) {
    }
    if (got == 1) onStop(SignalName(number), number == SIGINT);
  }).detach();
  for (int signal : kStopSignals) {
    struct sigaction action = {};
    if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) continue;
    action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
  }
}
