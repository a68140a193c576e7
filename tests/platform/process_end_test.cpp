// The client ends through EndProcess, which skips the exit-time work; a
// sanitized build must still report what the program leaked.
#include <gtest/gtest.h>

#include "tests/support/process.h"

using testing_support::RunProcess;

TEST(EndProcess, EndsWithTheGivenCode) {
  EXPECT_EQ(RunProcess({KORAL70_LEAK_THEN_END, "3"}, "", ".", {}).exitCode, 3);
}

TEST(EndProcess, ALeakFailsASanitizedRun) {
#if defined(__SANITIZE_ADDRESS__)
  const auto result = RunProcess({KORAL70_LEAK_THEN_END, "0", "leak"}, "", ".", {});
  EXPECT_NE(result.exitCode, 0);
  EXPECT_NE(result.err.find("LeakSanitizer"), std::string::npos) << result.err;
#else
  GTEST_SKIP() << "only a build with AddressSanitizer checks for leaks";
#endif
}
