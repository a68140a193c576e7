// The card-file writer (whole files or none, never through a link) and the
// card's free space.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/card_file_writer.h"
#include "platform/disk_space.h"
#include "tests/support/temp_card.h"

using testing_support::Listing;
using testing_support::TempCard;
namespace fs = std::filesystem;

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

TEST(CardFileWriter, StreamedWritesAppearOnlyWhenCommitted) {
  TempCard card;
  card.Write("data.bin", "old");
  {
    CCardFileWriter writer;
    ASSERT_TRUE(writer.Open("data.bin"));
    ASSERT_TRUE(writer.Write("ne", 2));
    EXPECT_EQ(card.Read("data.bin"), "old");
  }  // not committed: the destructor drops it
  EXPECT_EQ(Listing("."), std::vector<std::string>{"data.bin"});
  CCardFileWriter writer;
  ASSERT_TRUE(writer.Open("data.bin"));
  ASSERT_TRUE(writer.Write("ne", 2) && writer.Write("w", 1) && writer.Commit());
  EXPECT_EQ(card.Read("data.bin"), "new");
  EXPECT_EQ(Listing("."), std::vector<std::string>{"data.bin"});
}

#ifndef _WIN32  // on Windows each commit is made at once, written through
TEST(CardCommitBatch, FilesAreRenamedOnlyWhenTheBatchCommitsAndAFullBatchCommitsItself) {
  TempCard card;
  card.Write("Sub/old.bin", "old");
  CCardCommitBatch batch;
  auto commit = [&batch](const std::string& path, const std::string& text) {
    CCardFileWriter writer;
    return writer.Open(path.c_str()) && writer.Write(text.data(), text.size()) && writer.Commit(&batch);
  };
  ASSERT_TRUE(commit("Sub/old.bin", "new"));
  ASSERT_TRUE(commit("first.bin", "1"));
  EXPECT_EQ(card.Read("Sub/old.bin"), "old");
  EXPECT_EQ(Listing(".").size(), 2u);  // Sub and first.bin's temporary
  ASSERT_TRUE(batch.Flush());
  EXPECT_EQ(card.Read("Sub/old.bin"), "new");
  EXPECT_EQ(Listing("."), (std::vector<std::string>{"Sub", "first.bin"}));
  for (int i = 0; i < CCardCommitBatch::kFiles; ++i) ASSERT_TRUE(commit("f" + std::to_string(i), "x"));
  EXPECT_EQ(Listing(".").size(), 2u + CCardCommitBatch::kFiles);  // all in place, no temporary
  ASSERT_TRUE(commit("late.bin", "late"));
}  // the batch commits late.bin as it goes

TEST(CardFileWriter, NeverWritesThroughALinkedFolderOrLeavesTheCard) {
  TempCard card;
  TempCard outside;
  fs::current_path(card.Path());
  outside.Write("victim.txt", "outside");
  fs::create_directory_symlink(outside.Path(), "Linked");
  card.Write("Real/keep.txt", "k");
  fs::create_directory_symlink(fs::absolute("Real"), "Real/Inner");
  EXPECT_FALSE(WriteCardFile("Linked\\victim.txt", "x", 1));
  EXPECT_FALSE(WriteCardFile("Real/Inner/keep.txt", "x", 1));
  EXPECT_FALSE(WriteCardFile("../victim.txt", "x", 1));
  EXPECT_FALSE(WriteCardFile((outside.Path() + "/victim.txt").c_str(), "x", 1));
  EXPECT_FALSE(CreateCardDirectory("Linked\\New"));
  EXPECT_EQ(outside.Read("victim.txt"), "outside");
  EXPECT_EQ(card.Read("Real/keep.txt"), "k");
  EXPECT_EQ(std::distance(fs::directory_iterator(outside.Path()), {}), 1);
  // A link at the file's own name is replaced, not followed.
  fs::create_symlink(outside.Path() + "/victim.txt", "file.txt");
  EXPECT_TRUE(WriteCardFile("file.txt", "card", 4));
  EXPECT_FALSE(fs::is_symlink("file.txt"));
  EXPECT_EQ(outside.Read("victim.txt"), "outside");
}
#endif

TEST(CardFileWriter, TheLongestNamesHaveATemporaryAndLeftoversAreRemoved) {
  TempCard card;
  const std::string longest(255, 'n');
  ASSERT_TRUE(WriteCardFile(longest.c_str(), "long", 4));
  EXPECT_EQ(card.Read(longest), "long");
  card.Write("Sub/.koral70-0123abcd.tmp", "left by a kill");
  card.Write("Sub/.koral70-notatemp.tmp", "a card file");
  RemoveCardTemporaries("Sub");
  EXPECT_EQ(Listing("Sub"), std::vector<std::string>{".koral70-notatemp.tmp"});
  EXPECT_TRUE(IsCardTemporaryName(".koral70-0123abcd.tmp"));
  EXPECT_FALSE(IsCardTemporaryName(".koral70-0123abcd.tmp2"));
  // The whole card's leftovers, however deep, but nothing through a link.
  TempCard outside;
  fs::current_path(card.Path());
  card.Write("Old/Deeper/.koral70-00000001.tmp", "left by a kill");
  card.Write("Sub/.koral70-00000002.tmp", "left by a kill");
  card.Write(".koral70-00000003.tmp", "left by a kill");
  outside.Write(".koral70-00000004.tmp", "not the card's");
#ifndef _WIN32
  fs::create_directory_symlink(outside.Path(), "Linked");
#endif
  RemoveAllCardTemporaries();
  EXPECT_TRUE(Listing("Old/Deeper").empty());
  EXPECT_EQ(Listing("Sub"), std::vector<std::string>{".koral70-notatemp.tmp"});
  EXPECT_EQ(outside.Read(".koral70-00000004.tmp"), "not the card's");
  for (const std::string& name : Listing(".")) EXPECT_FALSE(IsCardTemporaryName(name.c_str())) << name;
}

TEST(GetDiskFreeSpaceW, TellsTheCardsClustersOrFails) {
  TempCard card;
  DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
  ASSERT_TRUE(GetDiskFreeSpaceW(L".", &sectors, &bytes, &freeClusters, &total));
  EXPECT_GT(sectors * bytes, 0u);
  EXPECT_LE(freeClusters, total);
  EXPECT_FALSE(GetDiskFreeSpaceW(L"missing", &sectors, &bytes, &freeClusters, &total));
}
