// The main of every in-process test binary: the program's resources, this
// thread as the UI thread and the scripted headless backend.
#include <gtest/gtest.h>

#include "framework/uiqueue.h"
#include "res/resource.h"
#include "tests/support/automation.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  RegisterProgramResources();
  afx::SetUiThread();
  testing_support::InstallTestBackend();
  return RUN_ALL_TESTS();
}
