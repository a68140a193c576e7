// The wx application: starts wx, installs the backend and wakes the event
// loop for work that other threads queue for the UI thread.
#include "framework/wx/wx_backend.h"

#include <atomic>
#include <clocale>
#include <cstdio>
#include <mutex>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/uilocale.h>

#include "framework/uiqueue.h"
#include "framework/wx/wx_backend_impl.h"

namespace afx {
namespace {

std::mutex g_wakeLock;        // guards g_wxRunning against the end of wx
bool g_wxRunning = false;
std::atomic<bool> g_drainQueued{false};

void DrainUiQueue() {
  g_drainQueued = false;
  while (RunOneQueued()) {
  }
}

// Called on any thread whenever work is queued: one pending drain at a time
// is enough, since a drain runs everything queued before it starts.
void WakeWx() {
  std::lock_guard<std::mutex> guard(g_wakeLock);
  if (g_wxRunning && !g_drainQueued.exchange(true)) wxTheApp->CallAfter(&DrainUiQueue);
}

void SetWaking(bool running) {
  std::lock_guard<std::mutex> guard(g_wakeLock);
  g_wxRunning = running;
}

// wx would show its assertion failures in a dialog of its own; they go to
// standard error instead, like the rest of wx's diagnostics.
void ReportAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& message) {
  std::fprintf(stderr, "wx assertion failed: %s:%d %s: %s %s\n", file.utf8_str().data(), line,
               func.utf8_str().data(), cond.utf8_str().data(), message.utf8_str().data());
}

class KoralApp : public wxApp {
 public:
  explicit KoralApp(std::function<void()> initInstance) : m_initInstance(std::move(initInstance)) {}

  // The base class would parse the command line as wx options; the program
  // reads its own switches.
  bool OnInit() override {
    // Without a locale wx takes narrow text as ASCII. A user locale that is
    // not installed still gets UTF-8.
    if (!wxUILocale::UseDefault()) std::setlocale(LC_ALL, "C.UTF-8");
    SetUiThread();
    SetBackend(&TheWxBackend());
    SetWaking(true);
    SetUiWakeHandler(&WakeWx);
    return true;
  }

  // The program's modal main window is the whole run; there is no frame and
  // no main loop of its own.
  int OnRun() override {
    if (HasQueuedWork()) WakeWx();
    m_initInstance();
    SetWaking(false);
    SetUiWakeHandler(nullptr);
    SetBackend(nullptr);
    return 0;
  }

 private:
  std::function<void()> m_initInstance;
};

}  // namespace

int RunWithWx(int argc, char** argv, std::function<void()> initInstance) {
  // wx's own messages go to standard error, also when GTK cannot start:
  // a window for them could not open then.
  delete wxLog::SetActiveTarget(new wxLogStderr);
  wxSetAssertHandler(&ReportAssert);
  wxApp::SetInstance(new KoralApp(std::move(initInstance)));
  return wxEntry(argc, argv);
}

}  // namespace afx
