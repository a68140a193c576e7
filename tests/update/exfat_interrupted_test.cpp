// A pass that changes several files of a real exFAT card, interrupted at
// random moments: the client killed (at a rename, through the injector, or
// after a random delay), and the card pulled out, which a copy of its image
// taken while the card's FUSE daemon is stopped stands for. A killed client
// leaves whole files (old or new) and one further run makes the card the
// release; a pulled card, mended by fsck.exfat as a computer offers to when
// it is put in again, is made the release by one run, and a card pulled as
// soon as a run has made it current holds the release.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "tests/update/card_change.h"
#include "tests/update/on_exfat_card.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {
using std::chrono::milliseconds;

// Rounds of each kind: the kills take about a minute on 2 cores.
constexpr int kKillRounds = 30;
constexpr int kPullRounds = 8;
constexpr int kPullsAfterTheRun = 3;

// What a series of pulled cards came to. Torn: the pulled card held a file
// that was neither old nor new (before the run that mends it).
struct Pulls {
  int tried = 0, midPass = 0, torn = 0, held = 0, failed = 0;
};

// "<s>.<ms>", as timeout(1) takes a duration.
std::string Seconds(milliseconds moment) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(moment.count()) / 1000);
  return text;
}

class ChangeOnExfatCard : public OnExfatCard {
 protected:
  void SetUp() override {
    OnExfatCard::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(StartServer());
    ASSERT_TRUE(change.Prepare(card->Root(), data, [this] { return RunClient(*card).exitCode; }));
  }

  int Run(const ExfatCard& on) const { return RunClient(on).exitCode; }

  // A random moment of the pass in the round-th of rounds equal shares of
  // its length, so that the rounds cover the whole pass.
  milliseconds Moment(int round, int rounds) {
    const double share = (round + std::uniform_real_distribution<double>(0, 1)(random)) / rounds;
    return std::max(milliseconds(1), milliseconds(static_cast<long>(share * change.PassDuration().count())));
  }

  // The card pulled out now: a copy of its image as the stopped daemon
  // leaves it, while the card itself stays in. "" after a failure was
  // reported.
  std::string Pull() {
    const std::string image = ImagePath("pulled");
    const bool frozen = card->Freeze();
    std::error_code copied;
    fs::copy_file(card->Image(), image, fs::copy_options::overwrite_existing, copied);
    card->Thaw();
    EXPECT_TRUE(frozen) << "the card's daemon did not stop";
    EXPECT_FALSE(copied) << "cannot copy the image: " << copied.message();
    return frozen && !copied ? image : "";
  }

  // The card pulled out at a moment of its pass, which goes on.
  void PullAndMend(milliseconds moment, Pulls& pulls) {
    change.RestoreOld(card->Root());
    ++pulls.tried;
    std::atomic<bool> ended{false};
    int exitCode = -1;
    std::thread pass([&] {
      exitCode = Run(*card);
      ended = true;
    });
    std::this_thread::sleep_for(moment);
    pulls.midPass += !ended;
    const std::string pulledImage = Pull();
    pass.join();
    // The card that stayed in ends its pass as if nothing had happened.
    int broken = ExpectNoProblems(change.CurrentProblems(card->Root(), exitCode, false));
    broken += pulledImage.empty() ? 1 : MendPulled(pulledImage, pulls);
    ++(broken == 0 ? pulls.held : pulls.failed);
    fs::remove(pulledImage);
  }

  // fsck.exfat -y mends the pulled card, which is put in as a second card;
  // one run must make it the release. Returns the broken promises.
  int MendPulled(const std::string& image, Pulls& pulls) {
    const FsckReport mended = RepairExfatImage(image);
    EXPECT_TRUE(mended.status == 0 || mended.status == 1) << "fsck.exfat -y: " << mended.text;
    if (mended.status != 0 && mended.status != 1) return 1;
    ExfatCard* pulled = Mount(image);
    if (!pulled) return 1;
    const std::vector<std::string> torn = change.InterruptedProblems(pulled->Root());
    pulls.torn += !torn.empty();
    for (const std::string& problem : torn) std::printf("  pulled card: %s\n", problem.c_str());
    const bool hadTheNewFiles = change.HasTheNewFiles(pulled->Root());
    int broken = ExpectNoProblems(change.CurrentProblems(pulled->Root(), Run(*pulled), hadTheNewFiles));
    broken += !Eject(pulled);
    return broken;
  }

  std::mt19937 random{std::random_device{}()};
  CardChange change{client};
};
}  // namespace

TEST_F(ChangeOnExfatCard, KillsAtRandomMomentsNeverBreakTheCardAndTheNextRunHealsIt) {
  const auto heal = [this] { return Run(*card); };
  Figures atRenames, afterDelays;
  for (int round = 0; round < kKillRounds; ++round) {
    const int nth = std::uniform_int_distribution<int>(1, CardChange::RenamesPerPass())(random);
    const bool after = random() % 2;
    {
      SCOPED_TRACE("killed at rename " + std::to_string(nth) + (after ? ", after it" : ", before it"));
      const Environment injector = {{"LD_PRELOAD", KORAL70_KILL_ON_RENAME_LIBRARY},
                                    {"KORAL70_KILL_ON_RENAME", std::to_string(nth)},
                                    {"KORAL70_KILL_ON_RENAME_AFTER", after ? "1" : "0"}};
      change.InterruptAndHeal(card->Root(), [&] { return RunClient(*card, injector).exitCode; }, heal, atRenames);
    }
    const milliseconds moment = Moment(round, kKillRounds);
    SCOPED_TRACE("killed after " + std::to_string(moment.count()) + " ms");
    const std::vector<std::string> killer = {"/usr/bin/timeout", "-s", "KILL", Seconds(moment)};
    change.InterruptAndHeal(card->Root(), [&] { return RunClient(*card, {}, killer).exitCode; }, heal, afterDelays);
  }
  std::printf("the pass takes %ld ms on this card\n", static_cast<long>(change.PassDuration().count()));
  Report("exFAT kills at renames", atRenames);
  Report("exFAT kills after random delays", afterDelays);
  EXPECT_EQ(atRenames.failed, 0);
  EXPECT_EQ(afterDelays.failed, 0);
}

TEST_F(ChangeOnExfatCard, CardPulledMidUpdateIsMendedAndOneRunMakesItTheRelease) {
  Pulls pulls;
  for (int round = 0; round < kPullRounds; ++round) {
    const milliseconds moment = Moment(round, kPullRounds);
    SCOPED_TRACE("pulled after " + std::to_string(moment.count()) + " ms");
    PullAndMend(moment, pulls);
  }
  std::printf("exFAT cards pulled: tried %d, mid-pass %d, torn %d, held %d, failed %d\n", pulls.tried, pulls.midPass,
              pulls.torn, pulls.held, pulls.failed);
  EXPECT_EQ(pulls.failed, 0);
}

// The client says that the card is current only when the card would keep
// it if pulled out: pulled as soon as the run has ended, it holds the new
// release as it is, without a further run.
TEST_F(ChangeOnExfatCard, CardPulledAsSoonAsTheRunEndedHoldsTheRelease) {
  Pulls pulls;
  for (int round = 0; round < kPullsAfterTheRun; ++round) {
    change.RestoreOld(card->Root());
    ++pulls.tried;
    const int exitCode = Run(*card);
    const std::string pulledImage = Pull();
    ASSERT_FALSE(pulledImage.empty());
    const FsckReport found = CheckExfatImage(pulledImage);
    EXPECT_TRUE(found.Clean()) << "the pulled card: " << found.text;
    int broken = !found.Clean();
    if (!found.Clean()) RepairExfatImage(pulledImage);  // to see what it holds
    ExfatCard* pulled = Mount(pulledImage);
    ASSERT_NE(pulled, nullptr);
    broken += ExpectNoProblems(change.CurrentProblems(pulled->Root(), exitCode, false));
    broken += !Eject(pulled);
    ++(broken == 0 ? pulls.held : pulls.failed);
    fs::remove(pulledImage);
  }
  std::printf("exFAT cards pulled as the run ended: tried %d, held %d, failed %d\n", pulls.tried, pulls.held,
              pulls.failed);
  EXPECT_EQ(pulls.failed, 0);
}
