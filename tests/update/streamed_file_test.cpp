// A get.php body streamed into its card file chunk by chunk, as the session
// hands it over: the "BF" prefix, the lazily started file and the digest,
// most of it made by the hashing worker while the body arrives.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_card.h"
#include "update/card_file_sink.h"
#include "update/file_reply.h"
#include "update/md5.h"
#include "update/md5_worker.h"

using testing_support::TempCard;
namespace fs = std::filesystem;

namespace {
std::vector<std::string> Tree() {
  std::vector<std::string> names;
  for (const auto& item : fs::recursive_directory_iterator(".")) names.push_back(item.path().generic_string());
  std::sort(names.begin(), names.end());
  return names;
}

// Feeds body to the reply in chunks of the given sizes (the rest in one).
void Feed(CFileReplySink& reply, const std::string& body, std::vector<size_t> sizes) {
  size_t at = 0;
  for (size_t size : sizes) {
    ASSERT_TRUE(reply.Write(reinterpret_cast<const unsigned char*>(body.data()) + at, size));
    at += size;
  }
  ASSERT_TRUE(reply.Write(reinterpret_cast<const unsigned char*>(body.data()) + at, body.size() - at));
}

std::string DigestOf(CCardFileSink& file) {
  unsigned char digest[16];
  file.FinalDigest(digest);
  return std::string(reinterpret_cast<const char*>(digest), 16);
}

// Bytes that differ from block to block, so that a block digested twice,
// skipped or out of turn changes the digest.
std::string Varied(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 2654435761u + seed) >> 13);
  return bytes;
}

std::string Md5(const std::string& bytes) {
  CMd5 md5;
  md5.Init();
  md5.Update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  md5.Final();
  return std::string(reinterpret_cast<const char*>(md5.digest), 16);
}
}  // namespace

TEST(StreamedFile, PrefixSplitOverChunksStillCountsAndIsNotPartOfTheFile) {
  TempCard card;
  card.Write("Data/file.bin", "old");
  const std::string content(70000, 'c');
  CMd5Worker hasher;
  CCardFileSink file("Data\\file.bin", L"Data\\file.bin", hasher);
  CFileReplySink reply(file);
  Feed(reply, "BF" + content, {1, 1, 5, 16384});
  EXPECT_TRUE(reply.HasPrefix());
  EXPECT_EQ(file.Size(), content.size());
  EXPECT_EQ(DigestOf(file), Md5(content));
  // Nothing is in place before the commit.
  EXPECT_EQ(card.Read("Data/file.bin"), "old");
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(card.Read("Data/file.bin"), content);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"./Data", "./Data/file.bin"}));
}

TEST(StreamedFile, ABodyWithoutThePrefixCreatesNoFolderAndNoFile) {
  TempCard card;
  CMd5Worker hasher;
  CCardFileSink file("New\\file.bin", L"New\\file.bin", hasher);
  CFileReplySink reply(file);
  Feed(reply, "BXsome content", {1});
  EXPECT_FALSE(reply.HasPrefix());
  EXPECT_EQ(file.GetState(), CCardFileSink::State::kEmpty);
  EXPECT_TRUE(Tree().empty());
}

TEST(StreamedFile, ThePrefixAloneStartsNothingUntilItIsPlacedAsAnEmptyFile) {
  TempCard card;
  CMd5Worker hasher;
  CCardFileSink file("New\\file.bin", L"New\\file.bin", hasher);
  CFileReplySink reply(file);
  Feed(reply, "BF", {});
  EXPECT_TRUE(reply.HasPrefix());
  EXPECT_EQ(file.Size(), 0u);
  EXPECT_TRUE(Tree().empty());
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(Tree(), (std::vector<std::string>{"./New", "./New/file.bin"}));
  EXPECT_EQ(card.Read("New/file.bin"), "");
}

TEST(StreamedFile, AFolderThatCannotBeMadeIsKeptAndTheBodyStillDigested) {
  TempCard card;
  card.Write("blocked", "a file where a folder belongs");
  CMd5Worker hasher;
  CCardFileSink file("blocked\\inner\\file.bin", L"blocked\\inner\\file.bin", hasher);
  CFileReplySink reply(file);
  Feed(reply, "BFabc", {3});
  EXPECT_EQ(file.GetState(), CCardFileSink::State::kFolderFailed);
  EXPECT_EQ(DigestOf(file), Md5("abc"));
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(Tree(), std::vector<std::string>{"./blocked"});
}

TEST(StreamedFile, AnAbortedFileLeavesTheOldOneAndNoTemporary) {
  TempCard card;
  card.Write("file.bin", "old");
  CMd5Worker hasher;
  {
    CCardFileSink file("file.bin", L"file.bin", hasher);
    CFileReplySink reply(file);
    // Blocks still on their way to the hasher when the file is dropped.
    Feed(reply, "BF" + Varied(1 << 20, 5), {20000});
    EXPECT_EQ(file.GetState(), CCardFileSink::State::kWriting);
    EXPECT_EQ(Tree().size(), 2u);  // the old file and the temporary
  }  // never committed
  EXPECT_EQ(card.Read("file.bin"), "old");
  EXPECT_EQ(Tree(), std::vector<std::string>{"./file.bin"});
}

TEST(StreamedFile, LargeFilesInARowAreWrittenAndDigestedByteForByte) {
  TempCard card;
  CMd5Worker hasher;  // one for the files in turn, as in a pass
  for (unsigned n = 0; n < 2; ++n) {
    // Several blocks and a tail, in chunks that split pieces and blocks,
    // one of them larger than a block.
    const std::string content = Varied(5 * 256 * 1024 + 4321 * n, n);
    const std::string name = "file" + std::to_string(n) + ".bin";
    CCardFileSink file(name, std::wstring(name.begin(), name.end()), hasher);
    CFileReplySink reply(file);
    Feed(reply, "BF" + content, {3, 16383, 262144, 700001, 1});
    EXPECT_EQ(DigestOf(file), Md5(content));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(card.Read(name), content);
  }
}
