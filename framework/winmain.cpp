#include "framework/winmain.h"

#include "framework/app.h"
#include "framework/headless/headless_backend.h"
#include "framework/uiqueue.h"
#ifndef _WIN32
#include "framework/wx/wx_backend.h"
#endif
#include "platform/system.h"
#include "platform/text.h"

#ifndef _WIN32
namespace {
bool WantHeadless() {
  if (GetEnvironmentText("KORAL70_UI") == "headless") return true;
  return GetEnvironmentText("DISPLAY").empty() && GetEnvironmentText("WAYLAND_DISPLAY").empty();
}
}  // namespace
#endif

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  for (const std::wstring& argument : ProgramArguments(argc, argv)) app->m_arguments.emplace_back(argument);
#ifndef _WIN32
  if (!WantHeadless()) {
    // A toolkit that could not start has its own non-zero status.
    const int code = afx::RunWithWx(argc, argv, [app] { app->InitInstance(); });
    return code != 0 ? code : app->ExitInstance();
  }
#endif
  // The Windows build runs headless until it has a window backend of its own.
  afx::SetUiThread();
  afx::UseHeadlessBackend();
  app->InitInstance();
  return app->ExitInstance();
}
