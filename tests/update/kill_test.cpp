// The client killed in the middle of an update, again and again: the card
// must always hold whole files (old or new), a well-formed "ver.dat", a
// runnable client, and one further run must make it equal to the release.
// Kills come from an injector that ends the client at a chosen rename, the
// moment when a file is put into place.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "tests/support/process.h"
#include "tests/support/temp_card.h"
#include "tests/update/card_change.h"
#include "tests/update/card_client.h"
#include "tests/update/server_data.h"

using namespace testing_support;

namespace {
constexpr const char* kOnOwnDrive =
    "mount --bind \"$0\" \"$0\" && cd \"$0\" && exec env LD_PRELOAD=\"$KORAL70_PRELOAD\" ./koral70.exe /b";

class KilledUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    if (RunProcess({"/usr/bin/unshare", "-m", "/bin/true"}, "", "", {}).exitCode != 0)
      GTEST_SKIP() << "needs unshare -m (root) for a card of its own";
    server = std::make_unique<ServerProcess>(data.Arguments());
    ASSERT_TRUE(server->Started());
    ASSERT_TRUE(change.Prepare(card.Path(), data, [this] { return Run({}); }));
  }

  int Run(const Environment& kill) {
    Environment env = ClientEnvironment(server->BaseUrl());
    env.insert(env.end(), kill.begin(), kill.end());
    if (!kill.empty()) env.push_back({"KORAL70_PRELOAD", KORAL70_KILL_ON_RENAME_LIBRARY});
    return RunProcess({"/usr/bin/unshare", "-m", "/bin/sh", "-c", kOnOwnDrive, card.Path()}, "", card.Path(), env, 60)
        .exitCode;
  }

  void KillAndHeal(const Environment& kill, Figures& figures) {
    change.InterruptAndHeal(card.Path(), [&] { return Run(kill); }, [this] { return Run({}); }, figures);
  }

  TempCard card;  // the current directory
  ServerData data;
  std::unique_ptr<ServerProcess> server;
  CardChange change{ReadFile(ClientBinary())};
};
}  // namespace

// One test: preparing the old and the new card is the slow part.
TEST_F(KilledUpdate, KillsNeverBreakTheCardAndTheNextRunHealsIt) {
  std::mt19937 random(std::random_device{}());
  Figures figures;
  for (int i = 0; i < 30; ++i) {
    const int nth = std::uniform_int_distribution<int>(1, CardChange::RenamesPerPass())(random);
    const bool after = random() % 2;
    SCOPED_TRACE("rename " + std::to_string(nth) + (after ? " after" : " before"));
    KillAndHeal({{"KORAL70_KILL_ON_RENAME", std::to_string(nth)}, {"KORAL70_KILL_ON_RENAME_AFTER", after ? "1" : "0"}},
                figures);
  }
  Report("random kills", figures);
  EXPECT_EQ(figures.failed, 0);

  // The fetched "Reports\table.css" and its three copies, each killed just
  // before and just after its rename.
  Figures stylesheet;
  for (int nth = 1; nth <= 4; ++nth)
    for (const char* after : {"0", "1"}) {
      SCOPED_TRACE("stylesheet rename " + std::to_string(nth) + " after=" + after);
      KillAndHeal({{"KORAL70_KILL_ON_RENAME", std::to_string(nth)},
                   {"KORAL70_KILL_ON_RENAME_MATCH", "table.css"},
                   {"KORAL70_KILL_ON_RENAME_AFTER", after}},
                  stylesheet);
    }
  Report("stylesheet kills", stylesheet);
  EXPECT_EQ(stylesheet.killed, stylesheet.tried);
  EXPECT_EQ(stylesheet.failed, 0);
}
