// Card file handling: folders for fetched files, replacing writes, the
// version file, and the swap a new client makes at start.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/automation.h"
#include "tests/support/temp_card.h"
#include "platform/card_file_writer.h"
#include "update/card_folders.h"
#include "update/self_update.h"
#include "update/version_file.h"

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

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}
}  // namespace

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

TEST(WriteCardFile, ReplacesTheFileWhole) {
  TempCard card;
  card.Write("data.bin", "old contents");
  ASSERT_TRUE(WriteCardFile("data.bin", "new", 3));
  EXPECT_EQ(card.Read("data.bin"), "new");
  ASSERT_TRUE(WriteCardFile("empty.bin", "", 0));
  EXPECT_TRUE(card.Exists("empty.bin"));
  EXPECT_EQ(Listing("."), (std::vector<std::string>{"data.bin", "empty.bin"}));
}

TEST(WriteCardFile, FailureKeepsTheOldFileAndLeavesNoTemporary) {
  TempCard card;
  card.Write("target/inside.txt", "a folder named like the file");
  EXPECT_FALSE(WriteCardFile("target", "new", 3));
  EXPECT_EQ(card.Read("target/inside.txt"), "a folder named like the file");
  EXPECT_EQ(Listing("."), std::vector<std::string>{"target"});
  EXPECT_FALSE(WriteCardFile("missing-folder/x.bin", "new", 3));
}

TEST(VersionFile, FindsTheFirstRecordOfAName) {
  TempCard card;
  const std::vector<UpdateFileEntry> records = {Entry("a.txt", "v1", 1), Entry("b\\c.txt", "v2", 2),
                                                Entry("a.txt", "v3", 3)};
  ASSERT_TRUE(WriteVersionFile(records));
  EXPECT_EQ(fs::file_size("ver.dat"), 3 * 284u);
  // A trailing partial record is no record.
  {
    std::string bytes = card.Read("ver.dat") + std::string(100, 'z');
    card.Write("ver.dat", bytes);
  }
  CVersionFile file;
  ASSERT_TRUE(file.Open());
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
  EXPECT_FALSE(file.Open());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Find("a.txt"), nullptr);
}

TEST(FinishSelfUpdate, LockedOldClientLeavesBothFilesWithinTheBudget) {
  // The test program's own file name is not "koral70.exe", so the swap runs;
  // "old_koral70.exe" as a non-empty folder makes the first rename fail.
  TempCard card;
  card.Write("koral70.exe", "old client");
  card.Write("old_koral70.exe/keep", "x");
  FinishSelfUpdate();
  EXPECT_EQ(card.Read("koral70.exe"), "old client");
  EXPECT_EQ(card.Read("old_koral70.exe/keep"), "x");
}

TEST(FinishSelfUpdate, FailedOwnRenamePutsTheOldClientBack) {
  // The test program's file is not in the card folder: its rename fails
  // until the budget is spent.
  TempCard card;
  card.Write("koral70.exe", "old client");
  FinishSelfUpdate();
  EXPECT_EQ(card.Read("koral70.exe"), "old client");
  EXPECT_FALSE(card.Exists("old_koral70.exe"));
}

TEST(CopyCardClient, CopiesTheCardCopyOrSaysWhyNot) {
  TempCard card;
  EXPECT_EQ(CopyCardClient(), -1);
  card.Write("Support/updater/koral70.exe", "");
  EXPECT_EQ(CopyCardClient(), 2);  // an empty copy cannot be read as one block
  card.Write("Support/updater/koral70.exe", "new client");
  EXPECT_EQ(CopyCardClient(), 0);
  EXPECT_EQ(card.Read("new_koral70.exe"), "new client");
  fs::remove("new_koral70.exe");
  fs::create_directory("new_koral70.exe");
  testing_support::TakeOutput();
  EXPECT_EQ(CopyCardClient(), 1);
  EXPECT_TRUE(testing_support::OutputContains(L"MessageBox[none]: Cannot create file (0)"));
}
