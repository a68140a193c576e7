// The client binary as a headless run sees it.
#include <gtest/gtest.h>

#include "tests/support/process.h"
#include "tests/support/temp_card.h"

using testing_support::ClientBinary;
using testing_support::RunProcess;
using testing_support::TempCard;

namespace {
const testing_support::Environment kHeadless = {{"KORAL70_UI", "headless"},
                                                {"KORAL70_UPDATE_URL", "http://127.0.0.1:9"}};
}

TEST(ClientBinary, EndsAtOnceAtTheEndOfInputWithItsStatusLog) {
  TempCard card;
  const auto result = RunProcess({ClientBinary()}, "", card.Path(), kHeadless, 30);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "StatusLog: \n");
}

TEST(ClientBinary, ExitEndsTheMainWindow) {
  TempCard card;
  const auto result = RunProcess({ClientBinary()}, "exit\n", card.Path(), kHeadless, 30);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "StatusLog: \n");
}

TEST(ClientBinary, TypedStatusTextIsEscapedInTheLog) {
  TempCard card;
  const auto result =
      RunProcess({ClientBinary()}, "set 1001 a\\\\b\\r\\nc\nclick 1\n", card.Path(), kHeadless, 30);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "StatusLog: a\\\\b\\r\\nc\n");
}
