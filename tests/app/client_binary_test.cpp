// The client binary as a headless run sees it.
#include <gtest/gtest.h>

#include <vector>

#include "core/catalogue.h"
#include "platform/wintypes.h"
#include "res/resource.h"
#include "tests/support/automation.h"
#include "tests/support/process.h"
#include "tests/support/temp_card.h"

using testing_support::ClientBinary;
using testing_support::Click;
using testing_support::Input;
using testing_support::RunProcess;
using testing_support::Set;
using testing_support::TempCard;

namespace {
const testing_support::Environment kHeadless = {{"KORAL70_UI", "headless"},
                                                {"KORAL70_UPDATE_URL", "http://127.0.0.1:9"}};

// A card folder, so that the program stays there and searches no media.
struct Card : TempCard {
  Card() { Write("pass.ini", ""); }
};
}

TEST(ClientBinary, EndsAtOnceAtTheEndOfInputWithItsStatusLog) {
  Card card;
  const auto result = RunProcess({ClientBinary()}, "", card.Path(), kHeadless, 30);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "StatusLog: \n");
}

TEST(ClientBinary, ExitEndsTheMainWindow) {
  Card card;
  const auto result = RunProcess({ClientBinary()}, "exit\n", card.Path(), kHeadless, 30);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "StatusLog: \n");
}

TEST(ClientBinary, TypedStatusTextIsEscapedInTheLog) {
  Card card;
  const auto result =
      RunProcess({ClientBinary()}, Input({Set(IDC_STATUS_LOG, L"a\\\\b\\r\\nc"), Click(IDOK)}),
                 card.Path(), kHeadless, 30);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "StatusLog: a\\\\b\\r\\nc\n");
}

// The help comes in the language the client runs in. Elsewhere the locale
// chooses it; on Windows it is the user's, which a child shares with this
// test, so there only this run's language is checked.
TEST(ClientBinary, HelpPrintsUsageAndExitStatusesWithoutAWindow) {
  Card card;
  const auto help = [&](const char* argument, bool japanese) {
    return RunProcess({ClientBinary(), argument}, "", card.Path(),
                      {{"KORAL70_UI", "headless"}, {"LANG", japanese ? "ja_JP.UTF-8" : "C.UTF-8"}, {"LC_ALL", ""}},
                      30);
  };
#ifdef _WIN32
  const std::vector<bool> languages = {g_langId == kLangJapanese};
#else
  const std::vector<bool> languages = {false, true};
#endif
  for (const bool japanese : languages) {
    const auto result = help(japanese ? "/?" : "--help", japanese);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.find("StatusLog:"), std::string::npos) << "a window ran";
    EXPECT_EQ(help("-h", japanese).out, result.out);
    if (japanese) {
      EXPECT_EQ(result.out.rfind("使い方: koral70", 0), 0u) << result.out;
      EXPECT_NE(result.out.find("\n  2  ログインできないか、サーバーに接続できません\n"), std::string::npos);
      continue;
    }
    EXPECT_EQ(result.out.rfind("Usage: koral70 [/b] [/e]\n", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\nA run without /b ends with status 0."), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\n  0  the card is current\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\n  3  a transfer or a write on the card failed\n"), std::string::npos);
    EXPECT_NE(result.out.find("\n  5  a new client was started to finish the update\n"), std::string::npos);
  }
}

TEST(ClientBinary, VersionPrintsTheClientsNameAndVersionWithoutAWindow) {
  Card card;
  const auto result = RunProcess({ClientBinary(), "--version"}, "", card.Path(), kHeadless, 30);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "KORAL70 update client 3.4.0\n");
}
