#include "framework/winmain.h"

#include "framework/app.h"
#include "framework/headless/headless_backend.h"
#include "framework/uiqueue.h"
#include "platform/system.h"
#include "platform/text.h"
#ifdef _WIN32
#include "framework/win32/win32_backend.h"
#else
#include "framework/wx/wx_backend.h"
#endif

namespace {
bool WantHeadless() {
  if (GetEnvironmentText("KORAL70_UI") == "headless") return true;
#ifdef _WIN32
  return false;  // a Windows session always has a desktop
#else
  return GetEnvironmentText("DISPLAY").empty() && GetEnvironmentText("WAYLAND_DISPLAY").empty();
#endif
}

// Runs InitInstance under the window backend; a backend that could not start
// has its own non-zero status.
// Windows takes its command line from the system, not from argc and argv.
int RunWithWindows([[maybe_unused]] int argc, [[maybe_unused]] char** argv, CWinApp* app) {
#ifdef _WIN32
  return afx::RunWithWin32([app] { app->InitInstance(); });
#else
  return afx::RunWithWx(argc, argv, [app] { app->InitInstance(); });
#endif
}
}  // namespace

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  for (const std::wstring& argument : ProgramArguments(argc, argv)) app->m_arguments.emplace_back(argument);
  if (WantHeadless()) {
    afx::SetUiThread();
    afx::UseHeadlessBackend();
    app->InitInstance();
    return app->ExitInstance();
  }
  const int code = RunWithWindows(argc, argv, app);
  return code != 0 ? code : app->ExitInstance();
}
