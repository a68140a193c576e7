// The download pass against the reference server on a real card folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "tests/support/file_size_limit.h"
#include "res/resource.h"
#include "tests/support/temp_card.h"
#include "tests/update/update_window.h"
#include "update/md5.h"
#include "update/version_file.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {
constexpr const wchar_t* kComplete = L"MessageBox[information]: Update complete";
constexpr const wchar_t* kUpToDate =
    L"MessageBox[information]: Your software is up to date.\\r\\nNo update is required at this time.";
constexpr const wchar_t* kFailed = L"MessageBox[exclamation]: Update failed";

std::vector<ReleaseFile> FiveFiles() {
  return {{"Readme.txt", "read me\n"},
          {"Reports\\table.css", "td { color: red }\n"},
          {"VQA\\Data\\Models\\2024\\models.txt", "models\n", "2024.05"},
          {"VQA\\Config\\settings.ini", "[settings]\n", "1.2", true},
          {"Docs\\Release notes.txt", "notes\n"}};
}

class DownloadPass : public ::testing::Test {
 protected:
  void SetUp() override { card.Write("pass.ini", "serial=123456789\npass=secret\n"); }

  // Runs one update and waits until the server has seen the end of the pass.
  UpdateRun Update(ServerProcess& server, bool batch = false, Program program = Program::kOnCard) {
    const size_t ends = Count(server, "f=-1");
    UpdateRun run = RunUpdateJobOnly(batch, program);
    // The server's log reaches us through a pipe, a moment after its answer.
    for (int i = 0; i < 250 && Count(server, "f=-1") == ends; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return run;
  }
  static size_t Count(const ServerProcess& server, const std::string& text) {
    size_t n = 0;
    for (const auto& line : server.Log())
      if (line.find("REQ") == 0 && line.find(text) != std::string::npos) ++n;
    return n;
  }
  void ExpectCardHolds(const std::vector<ReleaseFile>& files) {
    for (const auto& file : files) EXPECT_EQ(card.Read(CardPath(file.name)), file.content) << file.name;
  }
  // The records of ver.dat, in order.
  std::vector<UpdateFileEntry> VersionRecords() {
    return RecordsOf(card.Read("ver.dat"));
  }

  TempCard card;
  ServerData data;
};

}  // namespace

TEST_F(DownloadPass, FreshCardGetsEveryFileAndTheVersionFile) {
  const auto files = FiveFiles();
  data.SetRelease(files);
  auto server = StartServer(data);
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kComplete});
  ExpectCardHolds(files);
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{0, 1, 2, 3, 4, -1}));
  // The stylesheet was fetched: its copy for the app data appears.
  EXPECT_EQ(card.Read("AppData/VQA/Reports/table.css"), files[1].content);
  const auto records = VersionRecords();
  ASSERT_EQ(records.size(), files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_STREQ(records[i].szName, files[i].name.c_str());
    EXPECT_EQ(records[i].nSize, files[i].content.size());
    EXPECT_EQ(DigestHex(records[i].abDigest), Md5Hex(files[i].content));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(records[i].szTag)), files[i].tag);
    EXPECT_EQ(records[i].bLocalDigest, files[i].localDigest ? 1 : 0);
  }
  EXPECT_NE(run.status.find(L"Downloading file: VQA\\Data\\Models\\2024\\models.txt\r\n  * 7 bytes: OK\r\n\r\n"),
            std::wstring::npos);
  EXPECT_NE(run.status.find(L"OK\r\n\r\n  * Files updated: 5 (0.0 MB) in 0:0"), std::wstring::npos) << run.status;
}

// The end of a pass tells what became of the card's logs, also when they
// could not all be sent.
TEST_F(DownloadPass, TheSummarySaysHowManyLogsWentAndHowManyStayed) {
  data.SetRelease(FiveFiles());
  card.Write("logs/a.log", "a");
  card.Write("logs/b.log", "b");
  auto server = StartServer(data, {"--fault", "/script/logupload.php:status500:b.log"});
  const UpdateRun run = Update(*server);
  // The walk's order decides whether a.log was sent before the failure.
  const bool sentFirst = !card.Exists("logs/a.log");
  EXPECT_NE(run.status.find(sentFirst ? L"  * Log files uploaded: 1; left on the SD card: 1\r\n"
                                      : L"  * Log files uploaded: 1; left on the SD card: 2\r\n"),
            std::wstring::npos)
      << run.status;
}

TEST_F(DownloadPass, CurrentCardFetchesNothingAndKeepsTheVersionFile) {
  data.SetRelease(FiveFiles());
  auto server = StartServer(data);
  Update(*server);
  const std::string versionFile = card.Read("ver.dat");
  card.Write("ver.dat", versionFile);  // a fresh time stamp we can compare
  const auto stamp = fs::last_write_time("ver.dat");

  UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kUpToDate});
  EXPECT_EQ(run.status.substr(run.status.size() - 10), L"this time.");
  EXPECT_NE(run.status.find(L"OK\r\n\r\n  * Your software is up to date."), std::wstring::npos);
  run = Update(*server, true);
  EXPECT_TRUE(run.Messages().empty());  // unattended: silent
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{0, 1, 2, 3, 4, -1, -1, -1}));
  EXPECT_EQ(card.Read("ver.dat"), versionFile);
  EXPECT_EQ(fs::last_write_time("ver.dat"), stamp);
}

TEST_F(DownloadPass, ACurrentCardLosesTheTemporariesOfFoldersTheListNoLongerNames) {
  data.SetRelease(FiveFiles());
  auto server = StartServer(data);
  Update(*server);
  card.Write("Old/Gone/.koral70-0123abcd.tmp", "left by a run killed under an earlier release");
  card.Write("Old/keep.txt", "not ours");
  EXPECT_EQ(Update(*server).Messages(), std::vector<std::wstring>{kUpToDate});
  EXPECT_TRUE(Listing("Old/Gone").empty());
  EXPECT_EQ(card.Read("Old/keep.txt"), "not ours");
}

TEST_F(DownloadPass, SameSizeDifferentDigestIsFetched) {
  data.SetRelease(FiveFiles());
  auto server = StartServer(data);
  Update(*server);
  card.Write("Readme.txt", "READ ME\n");
  Update(*server);
  EXPECT_EQ(card.Read("Readme.txt"), "read me\n");
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{0, 1, 2, 3, 4, -1, 0, -1}));
}

TEST_F(DownloadPass, LocalDigestEntriesAreJudgedByTheVersionFile) {
  data.SetRelease(FiveFiles());
  auto server = StartServer(data);
  Update(*server);
  // The card copy was edited on the device, same size: ver.dat no longer
  // knows it, so it is fetched even though it matches nothing else.
  card.Write("VQA/Config/settings.ini", "[changed!]\n");
  Update(*server);
  EXPECT_EQ(card.Read("VQA/Config/settings.ini"), "[settings]\n");
  // A new server copy under the same tag leaves the card copy alone: only
  // the recorded digest counts.
  data.SetContent("VQA\\Config\\settings.ini", "[server!!]\n");
  Update(*server);
  EXPECT_EQ(card.Read("VQA/Config/settings.ini"), "[settings]\n");
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{0, 1, 2, 3, 4, -1, 3, -1, -1}));
  // Its record now holds the card copy's digest, not the server's.
  ASSERT_EQ(VersionRecords().size(), FiveFiles().size());
  EXPECT_EQ(DigestHex(VersionRecords()[3].abDigest), Md5Hex("[settings]\n"));
  // A release that gives it a new tag has it fetched again.
  auto files = FiveFiles();
  files[3].content = "[server!!]\n";
  files[3].tag = "1.3";
  data.SetRelease(files);
  Update(*server);
  EXPECT_EQ(card.Read("VQA/Config/settings.ini"), "[server!!]\n");
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{0, 1, 2, 3, 4, -1, 3, -1, -1, 3, -1}));
}

TEST_F(DownloadPass, LocalDigestEntriesAreFetchedWithoutAVersionFile) {
  auto files = FiveFiles();
  data.SetRelease(files);
  for (const auto& file : files) card.Write(CardPath(file.name), file.content);
  auto server = StartServer(data);
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kComplete});
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{3, -1}));
  ASSERT_EQ(VersionRecords().size(), files.size());
  EXPECT_EQ(DigestHex(VersionRecords()[3].abDigest), Md5Hex(files[3].content));
}

TEST_F(DownloadPass, AnEmptyFileIsPlacedRecordedAndThenCurrent) {
  auto files = FiveFiles();
  files[4].content = "";
  data.SetRelease(files);
  auto server = StartServer(data);
  UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kComplete});
  ExpectCardHolds(files);
  EXPECT_TRUE(card.Exists("Docs/Release notes.txt"));
  ASSERT_EQ(VersionRecords().size(), files.size());
  EXPECT_EQ(DigestHex(VersionRecords()[4].abDigest), Md5Hex(""));
  run = Update(*server);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kUpToDate});
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{0, 1, 2, 3, 4, -1, -1}));
}

TEST_F(DownloadPass, AFileListedTwiceIsJudgedOnceAndTheCardBecomesCurrent) {
  // Two entries for "a.txt" with different contents: fetching both would
  // leave the second, which the first entry finds changed at the next run.
  data.SetRelease({{"a.txt", "first"}, {"b.txt", "b"}, {"c.txt", "second"}});
  data.SetListOverrides("2 name 612e747874\n");  // "a.txt"
  auto server = StartServer(data);
  EXPECT_EQ(Update(*server).Messages(), std::vector<std::wstring>{kComplete});
  EXPECT_EQ(card.Read("a.txt"), "first");
  EXPECT_EQ(Update(*server).Messages(), std::vector<std::wstring>{kUpToDate});
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{0, 1, -1, -1}));
}

TEST_F(DownloadPass, AFolderNamedLikeTheVersionFileIsToldBeforeAnyFetch) {
  data.SetRelease(FiveFiles());
  fs::create_directories("ver.dat/inside");
  auto server = StartServer(data);
  const UpdateRun run = Update(*server);
  ASSERT_EQ(run.Messages().size(), 2u);
  EXPECT_EQ(run.Messages()[0].rfind(L"MessageBox[exclamation]: The SD card holds a folder named \"ver.dat\"", 0), 0u);
  EXPECT_EQ(run.Messages()[1], kFailed);
  EXPECT_EQ(FetchedIndexes(*server), std::vector<int>{-1});
}

TEST_F(DownloadPass, FailuresAtTheThirdEntryNameItsNumbers) {
  data.SetRelease({{"a.txt", "a"}, {"b.txt", "b"}, {"blocked\\inner\\c.txt", "c"}});
  auto server = StartServer(data);
  card.Write("blocked", "a file where a folder belongs");
  UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(),
            (std::vector<std::wstring>{L"MessageBox[none]: Cannot create file (1003)", kFailed}));
  EXPECT_NE(run.status.find(L"  * 1 bytes: Error\r\n\r\n"), std::wstring::npos);

  data.SetRelease({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}});
  fs::create_directories("c.txt/inside");  // a folder where the file belongs
  run = Update(*server);
  EXPECT_EQ(run.Messages(),
            (std::vector<std::wstring>{L"MessageBox[none]: Cannot create file (3)", kFailed}));
  EXPECT_TRUE(fs::is_directory("c.txt/inside"));

  // On a fresh card the second entry's name is the folder the first one made.
  fs::remove_all("c.txt");
  fs::remove("blocked");
  data.SetRelease({{"new\\made\\d.txt", "d"}, {"new\\made", "e"}});
  run = Update(*server);
  EXPECT_EQ(run.Messages(),
            (std::vector<std::wstring>{L"MessageBox[none]: Cannot create file (2)", kFailed}));
  EXPECT_EQ(card.Read("new/made/d.txt"), "d");
}

TEST_F(DownloadPass, AbortAtTheFifthEntryKeepsTheFourFilesAndTheOldVersionFile) {
  auto files = FiveFiles();
  data.SetRelease(files);
  card.Write("ver.dat", "");
  auto server = StartServer(data, {"--fault", "/script/get.php:drop:f=4"});
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (1)", kFailed}));
  ExpectCardHolds({files.begin(), files.begin() + 4});
  EXPECT_FALSE(card.Exists("Docs/Release notes.txt"));
  EXPECT_EQ(card.Read("ver.dat"), "");
  // libcurl sends a request once more when a reused connection is dropped.
  std::vector<int> fetched = FetchedIndexes(*server);
  fetched.erase(std::unique(fetched.begin(), fetched.end()), fetched.end());
  EXPECT_EQ(fetched, (std::vector<int>{0, 1, 2, 3, 4, -1}));
}

TEST_F(DownloadPass, ACutOffTransferLeavesTheOldFileWhole) {
  data.SetRelease({{"big.bin", std::string(300000, 'n')}});
  card.Write("big.bin", "old contents");
  auto server = StartServer(data, {"--fault", "/script/get.php:truncate:f=0"});
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (1)", kFailed}));
  EXPECT_EQ(card.Read("big.bin"), "old contents");
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(".")) names.push_back(item.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"big.bin", "pass.ini"}));
  // The count line's speed ends with the file transfers: the end-of-pass
  // request after them reports no file progress.
  EXPECT_TRUE(run.transfersPaused);
  EXPECT_FALSE(run.progressWhilePaused);
}

TEST_F(DownloadPass, AnAnswerLargerThanAnyListedFileIsRefused) {
  // An error page is longer than the largest listed file and its "BF".
  data.SetRelease({{"a.txt", "abc"}});
  auto server = StartServer(data, {"--fault", "/script/get.php:status500:f=0"});
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (2)", kFailed}));
  EXPECT_FALSE(card.Exists("a.txt"));
}

TEST_F(DownloadPass, ABodyWithoutItsPrefixIsRefused) {
  data.SetRelease({{"a.txt", "abc"}});
  auto server = StartServer(data, {"--fault", "/script/get.php:corrupt:f=0"});
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (3)", kFailed}));
  EXPECT_FALSE(card.Exists("a.txt"));
}

#ifndef _WIN32  // a full card is a file size limit (RLIMIT_FSIZE), which Windows lacks
TEST_F(DownloadPass, AVersionFileThatCannotBeWrittenFailsAndTheOldStays) {
  data.SetRelease({{"a.txt", "abc"}});
  card.Write("ver.dat", "old records");
  auto server = StartServer(data);
  // The card takes files of up to 100 bytes: "a.txt" fits, the new
  // version file (284 bytes) does not.
  UpdateRun run;
  {
    FileSizeLimit full(100);
    ASSERT_TRUE(full.IsSet());
    run = Update(*server);
  }
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kFailed});
  EXPECT_EQ(card.Read("a.txt"), "abc");
  EXPECT_EQ(card.Read("ver.dat"), "old records");
  // The log says why, in the system's own words.
  EXPECT_NE(run.status.find(L" Error\r\n\r\n  Cause: the SD card could not be written (File too large)\r\n"),
            std::wstring::npos)
      << run.status;
}
#endif

TEST_F(DownloadPass, TheFallbackLogFolderIsUploadedFirst) {
  // An empty program path makes the log folder "D:\logs_2"; the folder's own
  // name then yields announcements for it too ("2", "2/A").
#ifdef _WIN32
  // There that is the machine's own drive D:: only a scratch drive will do.
  if (!std::getenv("KORAL70_TEST_SCRATCH_DRIVE_D")) GTEST_SKIP() << "drive D: is not a scratch drive";
  const std::string fallback = "D:/logs_2";
#else
  const std::string fallback = card.Path() + "/D:/logs_2";
#endif
  data.SetRelease({{"a.txt", "abc"}});
  WriteFile(fallback + "/first.log", "one");
  WriteFile(fallback + "/A/second.log", "two");
  auto server = StartServer(data);
  Update(*server, false, Program::kNoPath);
  // The root's file is filed under the folder announced last before it: "2",
  // or "2/A" where the listing returns the subfolder first.
  EXPECT_EQ(data.Received("logs/123456789/2/first.log") + data.Received("logs/123456789/2/A/first.log"), "one");
  EXPECT_EQ(data.Received("logs/123456789/2/A/second.log"), "two");
  EXPECT_FALSE(FileExists(fallback));
  std::vector<std::string> order;
  for (const auto& line : server->Log())
    if (line.rfind("REQ", 0) == 0) order.push_back(line.substr(9, line.find(" cookie") - 9));
  ASSERT_GE(order.size(), 4u);
  EXPECT_EQ(order[1], "/script/logsetdir.php dir=2");
  EXPECT_EQ(order.back(), "/script/get.php f=-1");
}

// A hostile or broken server: what it announces and what it sends disagree,
// or the card holds links that lead off it. Nothing outside the card changes
// and nothing that is not the listed file is placed.
class HostileServer : public DownloadPass {
 protected:
  void SetUp() override {
    DownloadPass::SetUp();
    outside.Write("victim.txt", "outside the card");
    outside.Write("Reports/table.css", "outside stylesheet");
    fs::current_path(card.Path());
  }
  void ExpectOutsideUnchanged() {
    EXPECT_EQ(outside.Read("victim.txt"), "outside the card");
    EXPECT_EQ(outside.Read("Reports/table.css"), "outside stylesheet");
    size_t count = 0;
    for (auto it = fs::recursive_directory_iterator(outside.Path()); it != fs::recursive_directory_iterator(); ++it)
      count += it->is_regular_file();
    EXPECT_EQ(count, 2u);
  }
  static std::vector<std::string> Temporaries() {
    std::vector<std::string> found;
    for (const auto& item : fs::recursive_directory_iterator("."))
      if (item.path().filename().string().rfind(".koral70-", 0) == 0) found.push_back(item.path().string());
    return found;
  }
  TempCard outside{};
};

TEST_F(HostileServer, ABodyOfAnotherSizeOrDigestIsNotPlaced) {
  data.SetRelease({{"a.txt", "abc"}, {"b.txt", "def"}});
  card.Write("a.txt", "old a");
  auto server = StartServer(data);
  data.SetListOverrides("0 size 4\n");
  UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (3)", kFailed}));
  EXPECT_EQ(card.Read("a.txt"), "old a");
  EXPECT_FALSE(card.Exists("ver.dat"));

  data.SetListOverrides("1 md5 00112233445566778899aabbccddeeff\n");
  run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (3)", kFailed}));
  EXPECT_EQ(card.Read("a.txt"), "abc");
  EXPECT_FALSE(card.Exists("b.txt"));
  EXPECT_TRUE(Temporaries().empty());
  // A wrong digest after a complete transfer is fetched once more.
  const std::vector<int> fetched = FetchedIndexes(*server);
  EXPECT_EQ(std::count(fetched.begin(), fetched.end(), 1), 2);
}

// Large files are checked and put in place while the next one is on its
// way; what the window says and what the card holds stay those of one file
// after the other, and a file that fails ends the pass at itself.
TEST_F(HostileServer, LargeFilesFinishedBehindTheNextTransferKeepTheirOrder) {
  const std::string a(200000, 'a'), b(300000, 'b'), c(250000, 'c');
  data.SetRelease({{"a.bin", a}, {"b.bin", b}, {"c.bin", c}});
  card.Write("b.bin", "old b");
  auto server = StartServer(data);
  data.SetListOverrides("1 md5 00112233445566778899aabbccddeeff\n");
  UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (3)", kFailed}));
  EXPECT_NE(run.status.find(L"Downloading file: a.bin\r\n  * 200000 bytes: OK\r\n\r\n"
                            L"Downloading file: b.bin\r\n  * 300000 bytes: Error\r\n"),
            std::wstring::npos);
  EXPECT_EQ(run.status.find(L"c.bin"), std::wstring::npos);
  EXPECT_EQ(card.Read("a.bin"), a);
  EXPECT_EQ(card.Read("b.bin"), "old b");

  data.SetListOverrides("");
  fs::remove("b.bin");
  fs::create_directories("b.bin/inside");  // a folder where the file belongs
  run = Update(*server);
  EXPECT_EQ(run.Messages(),
            (std::vector<std::wstring>{L"MessageBox[none]: Cannot create file (2)", kFailed}));
  EXPECT_EQ(run.status.find(L"c.bin"), std::wstring::npos);
  EXPECT_FALSE(card.Exists("c.bin"));
  EXPECT_TRUE(Temporaries().empty());

  fs::remove_all("b.bin");
  run = Update(*server);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kComplete});
  EXPECT_NE(run.status.find(L"Downloading file: b.bin\r\n  * 300000 bytes: OK\r\n\r\n"
                            L"Downloading file: c.bin\r\n  * 250000 bytes: OK\r\n\r\n"),
            std::wstring::npos);
  EXPECT_EQ(card.Read("b.bin"), b);
  EXPECT_EQ(card.Read("c.bin"), c);
  EXPECT_EQ(RecordsOf(card.Read("ver.dat")).size(), 3u);
}

TEST_F(HostileServer, AnnouncedFilesLargerThanTheFreeSpaceChangeNothing) {
  // 4 GiB - 1 bytes, twenty times: more than any test machine has free.
  std::vector<ReleaseFile> files = {{"a.txt", "abc"}};
  for (int i = 0; i < 20; ++i) files.push_back({"big" + std::to_string(i) + ".bin", "small"});
  data.SetRelease(files);
  std::string overrides;
  for (int i = 1; i <= 20; ++i) overrides += std::to_string(i) + " size 4294967295\n";
  data.SetListOverrides(overrides);
  auto server = StartServer(data);
  const UpdateRun run = Update(*server);
  ASSERT_EQ(run.Messages().size(), 2u);
  EXPECT_EQ(run.Messages()[0].rfind(L"MessageBox[none]: Not enough free space on the SD card for this update: ", 0), 0u);
  EXPECT_EQ(run.Messages()[1], kFailed);
  EXPECT_FALSE(card.Exists("a.txt"));
  EXPECT_EQ(FetchedIndexes(*server), std::vector<int>{-1});
  // In the window, what the boxes said stays in the status log.
  const std::wstring shown = RunUpdate().status;
  EXPECT_NE(shown.find(L"\r\n  * Not enough free space on the SD card for this update: "), std::wstring::npos) << shown;
  EXPECT_NE(shown.find(L" MB more are needed.\r\n  * Update failed\r\n"), std::wstring::npos) << shown;
}

TEST_F(HostileServer, UnsafeNamesAreRefusedBeforeAnythingIsWritten) {
  data.SetRelease({{"a.txt", "abc"}, {"b.txt", "def"}});
  auto server = StartServer(data);
  const std::string outsideVictim = outside.Path() + "/victim.txt";
  auto hex = [](const std::string& bytes) {
    std::string out;
    char digits[3];
    for (unsigned char c : bytes) {
      std::snprintf(digits, sizeof digits, "%02x", c);
      out += digits;
    }
    return out;
  };
  for (const std::string& name : {std::string("..\\victim.txt"), outsideVictim, std::string("C:\\victim.txt"),
                                  std::string("Data\\..\\..\\victim.txt"), std::string(248, 'n')}) {
    data.SetListOverrides("1 name " + hex(name) + "\n");
    const UpdateRun run = RunUpdateJobOnly();  // a refused list ends the job before any get.php
    EXPECT_EQ(run.Messages(), std::vector<std::wstring>{L"MessageBox[exclamation]: Invalid Response from server"})
        << hex(name);
    EXPECT_FALSE(card.Exists("a.txt"));
  }
  // A name ends at its first NUL: what follows it is never a path.
  data.SetListOverrides("1 name " + hex(std::string("c.txt\0/../../victim.txt", 23)) + "\n");
  Update(*server);
  EXPECT_EQ(card.Read("c.txt"), "def");
  ExpectOutsideUnchanged();
}

TEST_F(HostileServer, NamesOfTheLongestAllowedLengthAreWritten) {
  const std::string name = "Folder\\" + std::string(247 - 7, 'x');
  data.SetRelease({{name, "long"}, {std::string(247, 'y'), "longer"}});
  auto server = StartServer(data);
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kComplete});
  EXPECT_EQ(card.Read(CardPath(name)), "long");
  EXPECT_EQ(card.Read(std::string(247, 'y')), "longer");
}

#ifndef _WIN32  // POSIX links: on Windows a link is a reparse point, refused by the same code
TEST_F(HostileServer, LinksOnTheCardAreNeverWrittenThrough) {
  data.SetRelease({{"Reports\\table.css", "card stylesheet"}, {"Linked\\victim.txt", "from the server"},
                   {"Data\\victim.txt", "from the server"}});
  fs::create_directory_symlink(outside.Path(), "Linked");
  fs::create_directory("Data");
  fs::create_symlink(outside.Path() + "/victim.txt", "Data/victim.txt");
  fs::create_directory_symlink(outside.Path(), "AppData");
  auto server = StartServer(data);
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{L"MessageBox[none]: Cannot create file (2)", kFailed}));
  ExpectOutsideUnchanged();
  EXPECT_TRUE(fs::is_symlink("Linked"));

  // Without the linked folder, the planted file link is replaced, not
  // followed, and the linked "AppData" gets no copy.
  fs::remove("Linked");
  fs::create_directory("Linked");
  const UpdateRun second = Update(*server);
  EXPECT_EQ(second.Messages(), std::vector<std::wstring>{kComplete});
  EXPECT_EQ(card.Read("Data/victim.txt"), "from the server");
  EXPECT_FALSE(fs::is_symlink("Data/victim.txt"));
  ExpectOutsideUnchanged();
  EXPECT_TRUE(Temporaries().empty());
}
#endif

TEST_F(HostileServer, WrongStatusesPlaceNothing) {
  data.SetRelease({{"a.txt", "abc"}});
  card.Write("a.txt", "old");
  for (const char* fault : {"status404", "status403", "empty", "short1"}) {
    auto server = StartServer(data, {"--fault", std::string("/script/get.php:") + fault + ":f=0"});
    const UpdateRun run = Update(*server);
    EXPECT_EQ(run.Messages().back(), kFailed) << fault;
    EXPECT_EQ(card.Read("a.txt"), "old") << fault;
  }
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(DownloadPass, ACurrentStylesheetMendsCopiesThatDifferFromIt) {
  auto files = FiveFiles();
  data.SetRelease(files);
  auto server = StartServer(data);
  Update(*server);
  // An earlier pass was cut off while it copied: a copy is cut short.
  card.Write("AppData/VQA/Reports/table.css", "td {");
  card.Write("Reports/Engine/table.css", "td { col");
  card.Write("AppData/VQA/Reports/.koral70-0badf00d.tmp", "left by a kill");
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kUpToDate});
  EXPECT_EQ(card.Read("AppData/VQA/Reports/table.css"), files[1].content);
  EXPECT_EQ(card.Read("Reports/Engine/table.css"), files[1].content);
  EXPECT_FALSE(card.Exists("AppData/VQA/Reports/.koral70-0badf00d.tmp"));
}

// Bodies stream into their card file as they arrive: a body cut off half-way
// through a large file, after many chunks were written, leaves the old file
// whole and no temporary file in its folder.
TEST_F(HostileServer, AStreamCutOffMidWayLeavesTheOldFileAndNoTemporary) {
  std::string big(3 << 20, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
  data.SetRelease({{"Data\\Deep\\big.bin", big}});
  card.Write("Data/Deep/big.bin", "old contents");
  auto server = StartServer(data, {"--fault", "/script/get.php:truncate:f=0"});
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (1)", kFailed}));
  EXPECT_EQ(card.Read("Data/Deep/big.bin"), "old contents");
  EXPECT_TRUE(Temporaries().empty());
  // Without the fault the same file streams in whole.
  auto whole = StartServer(data);
  EXPECT_EQ(Update(*whole).Messages(), std::vector<std::wstring>{kComplete});
  EXPECT_TRUE(card.Read("Data/Deep/big.bin") == big);
  EXPECT_TRUE(Temporaries().empty());
}

// A body that does not begin with "BF" is taken to its end (its length is
// reported) but writes nothing: no file, no folder, no temporary.
TEST_F(HostileServer, ABodyWithoutItsPrefixWritesNothing) {
  data.SetRelease({{"New\\Sub\\a.bin", std::string(200000, 'a')}});
  auto server = StartServer(data, {"--fault", "/script/get.php:corrupt:f=0"});
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (3)", kFailed}));
  EXPECT_NE(run.status.find(L"  * 200000 bytes: Error\r\n\r\n"), std::wstring::npos);
  EXPECT_FALSE(card.Exists("New"));
  EXPECT_TRUE(Temporaries().empty());
}

// A reply larger than the largest listed file is refused while it arrives:
// the old file stays and nothing of the reply is left on the card.
TEST_F(HostileServer, AReplyOverTheLimitLeavesNothing) {
  data.SetRelease({{"a.bin", std::string(1000, 'a')}, {"b.bin", std::string(100, 'b')}});
  card.Write("b.bin", "old b");
  auto server = StartServer(data);
  // The list now says the largest file has 500 bytes: the 1000-byte body of
  // a.bin goes beyond the pass's limit.
  data.SetListOverrides("0 size 500\n");
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (2)", kFailed}));
  EXPECT_FALSE(card.Exists("a.bin"));
  EXPECT_EQ(card.Read("b.bin"), "old b");
  EXPECT_TRUE(Temporaries().empty());
}

// Closing the window while a file is on its way asks first; on yes the
// transfer stops at once, its temporary goes, the files done stay, the log
// says what happened, and an unattended run ends "not finished".
TEST_F(DownloadPass, ClosingTheWindowDuringAnUpdateAsksAndStopsItSafely) {
  const auto files = FiveFiles();
  data.SetRelease(files);
  auto server = StartServer(data, {"--fault", "/script/get.php:stall:f=1"});
  CCardWindow window(Program::kOnCard);
  window.m_bBatch = true;
  TakeOutput();
  SetScript({Click(IDC_START_UPDATE)});
  std::thread user([&] {
    if (server->WaitForLog("f=1", 20000))
      PostMessageW(window.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
  });
  window.DoModal();
  user.join();
  const std::vector<std::wstring> output = TakeOutput();
  ASSERT_FALSE(output.empty());
  EXPECT_EQ(output.front().rfind(L"MessageBox[exclamation]: An update is running. Stop it and close the window?", 0), 0u);
  EXPECT_EQ(window.GetExitStatus(), kUpdateNotFinished);
  EXPECT_EQ(card.Read("Readme.txt"), files[0].content);
  EXPECT_FALSE(card.Exists("Reports/table.css"));
  EXPECT_FALSE(card.Exists("ver.dat"));
  for (const auto& item : fs::recursive_directory_iterator("."))
    EXPECT_NE(item.path().filename().string().rfind(".koral70-", 0), 0u) << item.path();
  const std::wstring status = window.GetStatusText().str();
  EXPECT_NE(status.find(L"  * Files updated: 1 "), std::wstring::npos) << status;
  EXPECT_NE(status.find(L"Stopped at your request."), std::wstring::npos) << status;
}
