#include "framework/winmain.h"

#include "framework/app.h"
#include "framework/headless/headless_backend.h"
#include "framework/uiqueue.h"
#include "framework/wx/wx_backend.h"
#include "platform/system.h"
#include "platform/text.h"

namespace {
bool WantHeadless() {
  if (GetEnvironmentText("KORAL70_UI") == "headless") return true;
  return GetEnvironmentText("DISPLAY").empty() && GetEnvironmentText("WAYLAND_DISPLAY").empty();
}
}  // namespace

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  for (int i = 1; i < argc; ++i) app->m_arguments.emplace_back(WideFromUtf8(argv[i]));
  if (WantHeadless()) {
    afx::SetUiThread();
    afx::UseHeadlessBackend();
    app->InitInstance();
    return app->ExitInstance();
  }
  // A toolkit that could not start has its own non-zero status.
  const int code = afx::RunWithWx(argc, argv, [app] { app->InitInstance(); });
  return code != 0 ? code : app->ExitInstance();
}
