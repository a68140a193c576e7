// The client updates an empty card on a real exFAT file system: every file
// of the release arrives whole, "ver.dat" records them, and the next run
// finds the card current. fsck.exfat checks the card afterwards.
#include <gtest/gtest.h>

#include <random>

#include "tests/update/card_client.h"
#include "tests/update/on_exfat_card.h"
#include "update/update_file_entry.h"

using namespace testing_support;

namespace {
// Bytes that differ from block to block, so that a cluster in the wrong
// place shows.
std::string Varied(size_t size) {
  std::mt19937 random(70);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}
}  // namespace

TEST_F(OnExfatCard, FreshCardGetsTheWholeReleaseAndTheNextRunFetchesNothing) {
  const std::vector<ReleaseFile> release = {
      {"Support\\updater\\koral70.exe", client, "3.4.0"},
      {"Readme.txt", "read me\n"},
      {"Reports\\table.css", "td { color: blue }\n"},
      {"VQA\\Data\\Models\\2024\\models.bin", Varied(3 << 20), "2024.05"},
      {"VQA\\Config\\settings.ini", "[settings]\n", "1.2", true},
      {"Docs\\Release notes.txt", "notes\n"},
      {"Data\\MixedCase.DAT", "mixed\n"}};
  data.SetRelease(release);
  ASSERT_TRUE(StartServer());
  LayOutCard(card->Root(), client);

  ProcessResult result = RunClient(*card);
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  for (const auto& file : release)
    EXPECT_EQ(Md5Hex(ReadFile(card->Root() + "/" + CardPath(file.name))), Md5Hex(file.content)) << file.name;
  const std::string versionFile = ReadFile(card->Root() + "/ver.dat");
  const std::vector<UpdateFileEntry> records = RecordsOf(versionFile);
  ASSERT_EQ(versionFile.size(), release.size() * sizeof(UpdateFileEntry));
  for (size_t i = 0; i < release.size(); ++i) {
    EXPECT_STREQ(records[i].szName, release[i].name.c_str());
    EXPECT_EQ(DigestHex(records[i].abDigest), Md5Hex(release[i].content)) << release[i].name;
  }

  const size_t fetches = server->CountRequests("get.php f=");
  result = RunClient(*card);
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  ASSERT_TRUE(server->WaitForRequests("get.php f=", fetches + 1));
  EXPECT_EQ(server->CountRequests("get.php f="), fetches + 1);  // only the end of the pass
  EXPECT_EQ(ReadFile(card->Root() + "/ver.dat"), versionFile);
}

// A release whose names differ only in letter case names one file on the
// card: it is judged once, so the card becomes current instead of having
// the two entries take turns on it run after run.
TEST_F(OnExfatCard, NamesThatDifferOnlyInCaseAreJudgedOnceAndTheCardBecomesCurrent) {
  data.SetRelease({{"Data\\Model.txt", "first"}, {"Readme.txt", "read me\n"}, {"DATA\\model.TXT", "second"}});
  ASSERT_TRUE(StartServer());
  LayOutCard(card->Root(), client);
  ProcessResult result = RunClient(*card);
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_EQ(ReadFile(card->Root() + "/Data/Model.txt"), "first");

  const size_t fetches = server->CountRequests("get.php f=");
  result = RunClient(*card);
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  ASSERT_TRUE(server->WaitForRequests("get.php f=", fetches + 1));
  EXPECT_EQ(server->CountRequests("get.php f="), fetches + 1);  // only the end of the pass
}
