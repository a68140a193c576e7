// Card file handling: the space a pass needs, folders for fetched files, the
// version file, and the swap a new client makes at start.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/automation.h"
#include "tests/support/recording_reporter.h"
#include "tests/support/temp_card.h"
#include "update/card_folders.h"
#include "update/card_preflight.h"
#include "update/self_update.h"
#include "update/version_file.h"

using testing_support::Listing;
using testing_support::TempCard;
namespace fs = std::filesystem;

namespace {
UpdateFileEntry Entry(const char* name, const char* tag, unsigned char digestByte) {
  UpdateFileEntry entry{};
  std::strncpy(entry.szName, name, sizeof entry.szName - 1);
  std::memcpy(entry.szTag, tag, std::strlen(tag));
  entry.nSize = 1000;
  std::memset(entry.abDigest, digestByte, 16);
  return entry;
}

}  // namespace

TEST(CardSpace, ThePeakOfTheWritesCountsInWholeClusters) {
  constexpr std::int64_t k32K = 32 * 1024;
  const CardWrite none{0, 0};
  struct Case {
    const char* what;
    std::vector<CardWrite> files;
    CardWrite versionFile;
    CardSpace card;
    std::uint64_t missing;
  } cases[] = {
      {"fits to the byte", {{1000, 0}, {24, 0}}, none, {1, 1024}, 0},
      {"a byte over", {{1000, 0}, {25, 0}}, none, {1, 1024}, 1},
      {"each small file takes a cluster", {{1, 0}, {1, 0}, {1, 0}}, none, {k32K, 2 * k32K}, k32K},
      {"a file of a cluster and a byte takes two", {{k32K + 1, 0}}, none, {k32K, k32K}, k32K},
      {"the version file needs room too", {{k32K, 0}}, {284, 0}, {k32K, k32K}, k32K},
      {"the new version file stands beside the old", {}, {2840, 2840}, {512, 512}, 2560},
      {"a replaced file stands beside its old copy", {{4096, 4096}}, none, {4096, 0}, 4096},
      {"a smaller replacement frees room for the next", {{4096, 8192}, {8192, 0}}, none, {4096, 4096}, 0},
      {"a file that is no file yet (-1) frees nothing", {{4096, -1}}, none, {4096, 4096}, 0},
      {"a cluster size of 0 counts bytes", {{10, 0}}, none, {0, 9}, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(MissingSpace(c.files, c.versionFile, c.card), c.missing) << c.what;
}

TEST(CreateParentDirectories, CreatesEachLevelButNotTheFile) {
  TempCard card;
  EXPECT_EQ(CreateParentDirectories(L"one\\two\\file.txt"), 0);
  EXPECT_TRUE(fs::is_directory("one/two"));
  EXPECT_FALSE(fs::exists("one/two/file.txt"));
  // Existing folders are fine; a name without a folder needs none.
  EXPECT_EQ(CreateParentDirectories(L"one\\two\\other.txt"), 0);
  EXPECT_EQ(CreateParentDirectories(L"top.txt"), 0);
}

TEST(CreateParentDirectories, FailsWhenAFileStandsInTheWay) {
  TempCard card;
  card.Write("blocker", "x");
  EXPECT_EQ(CreateParentDirectories(L"blocker\\inner\\file.txt"), 1);
}

TEST(VersionFile, FindsTheFirstRecordOfANameTheListNames) {
  TempCard card;
  const std::vector<UpdateFileEntry> records = {Entry("a.txt", "v1", 1), Entry("b\\c.txt", "v2", 2),
                                                Entry("a.txt", "v3", 3), Entry("gone.txt", "v4", 4)};
  ASSERT_TRUE(WriteVersionFile(records));
  EXPECT_EQ(fs::file_size("ver.dat"), 4 * 284u);
  // A trailing partial record is no record.
  {
    std::string bytes = card.Read("ver.dat") + std::string(100, 'z');
    card.Write("ver.dat", bytes);
  }
  CVersionFile file;
  ASSERT_TRUE(file.Open({Entry("a.txt", "v9", 9), Entry("b\\c.txt", "v9", 9), Entry("c.txt", "v9", 9)}));
  EXPECT_EQ(file.Find("gone.txt"), nullptr);  // no longer listed: not kept
  ASSERT_NE(file.Find("a.txt"), nullptr);
  EXPECT_EQ(file.Find("a.txt")->abDigest[0], 1);
  ASSERT_NE(file.Find("b\\c.txt"), nullptr);
  EXPECT_EQ(std::memcmp(file.Find("b\\c.txt"), &records[1], 284), 0);
  EXPECT_EQ(file.Find("c.txt"), nullptr);
  file.Close();
  EXPECT_EQ(file.Find("a.txt"), nullptr);
}

TEST(VersionFile, MissingFileIsNoVersionFile) {
  TempCard card;
  CVersionFile file;
  EXPECT_FALSE(file.Open({Entry("a.txt", "v1", 1)}));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Find("a.txt"), nullptr);
}

TEST(FinishSelfUpdate, WithoutItsOwnFileOnTheCardLeavesTheClientAlone) {
  // The test program's file is not in the card folder.
  TempCard card;
  card.Write("koral70.exe", "old client");
  FinishSelfUpdate();
  EXPECT_EQ(card.Read("koral70.exe"), "old client");
  EXPECT_EQ(Listing("."), std::vector<std::string>{"koral70.exe"});
}

// Every state an interrupted swap can leave (of this client or of older ones
// that renamed the old client aside first) ends as one "koral70.exe" and
// nothing else: completed when the new client is there, else undone.
TEST(RepairClientSwap, AnyHalfSwappedCardEndsWithOneClient) {
  struct State {
    const char* running;
    const char* fresh;
    const char* old;
    const char* expected;
  };
  const State states[] = {
      {nullptr, "new", "old", "new"},  // killed between an older client's two renames
      {nullptr, "new", nullptr, "new"},
      {nullptr, nullptr, "old", "old"},
      {"old", "new", nullptr, "old"},  // the new client never got to its rename
      {"new", nullptr, "old", "new"},  // an older client killed before it deleted the old one
      {"new", "new", "old", "new"},
      {"cur", nullptr, nullptr, "cur"},
  };
  for (const State& state : states) {
    TempCard card;
    if (state.running) card.Write("koral70.exe", state.running);
    if (state.fresh) card.Write("new_koral70.exe", state.fresh);
    if (state.old) card.Write("old_koral70.exe", state.old);
    RepairClientSwap();
    EXPECT_EQ(Listing("."), std::vector<std::string>{"koral70.exe"}) << state.expected;
    EXPECT_EQ(card.Read("koral70.exe"), state.expected);
  }
}

TEST(CopyCardClient, CopiesTheCardCopyOrSaysWhyNot) {
  TempCard card;
  testing_support::CRecordingReporter reporter;
  EXPECT_EQ(CopyCardClient(reporter), -1);
  card.Write("Support/updater/koral70.exe", "");
  EXPECT_EQ(CopyCardClient(reporter), 2);  // an empty copy cannot be read as one block
  card.Write("Support/updater/koral70.exe", "new client");
  EXPECT_EQ(CopyCardClient(reporter), 0);
  EXPECT_EQ(card.Read("new_koral70.exe"), "new client");
  EXPECT_TRUE(reporter.output.empty());
  fs::remove("new_koral70.exe");
  fs::create_directory("new_koral70.exe");
  EXPECT_EQ(CopyCardClient(reporter), 1);
  EXPECT_EQ(reporter.output, std::vector<std::wstring>{L"MessageBox[none]: Cannot create file (0)"});
}
