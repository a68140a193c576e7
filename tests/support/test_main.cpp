// The main of every in-process test binary: the program's resources, this
// thread as the UI thread, the scripted headless backend, and short waits
// between the tries of an exchange.
#include <gtest/gtest.h>

#include "framework/uiqueue.h"
#include "net/retry.h"
#include "res/resource.h"
#include "tests/support/automation.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  RegisterProgramResources();
  afx::SetUiThread();
  testing_support::InstallTestBackend();
  // The waits before a new try take thousandths of their time.
  SetRetryWaitScaleForTesting(1);
  return RUN_ALL_TESTS();
}
