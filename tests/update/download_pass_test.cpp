// The download pass against the reference server on a real card folder.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <thread>

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
  UpdateRun Update(ServerProcess& server, bool batch = false) {
    const size_t ends = Count(server, "f=-1");
    UpdateRun run = RunUpdate(batch);
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
  EXPECT_EQ(DigestHex(VersionRecords()[3].abDigest), Md5Hex("[settings]\n"));
}

TEST_F(DownloadPass, LocalDigestEntriesAreFetchedWithoutAVersionFile) {
  auto files = FiveFiles();
  data.SetRelease(files);
  for (const auto& file : files) card.Write(CardPath(file.name), file.content);
  auto server = StartServer(data);
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kComplete});
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{3, -1}));
  EXPECT_EQ(DigestHex(VersionRecords()[3].abDigest), Md5Hex(files[3].content));
}

TEST_F(DownloadPass, EmptyServedFileFailsTheUpdate) {
  auto files = FiveFiles();
  files[1].content = "";
  data.SetRelease(files);
  auto server = StartServer(data);
  const UpdateRun run = Update(*server);
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{
                                L"MessageBox[none]: Download cannot be completed (2)", kFailed}));
  EXPECT_EQ(card.Read("Readme.txt"), files[0].content);
  EXPECT_FALSE(card.Exists("Reports/table.css"));
  EXPECT_FALSE(card.Exists("ver.dat"));
  // The stylesheet refresh runs after a failed stylesheet fetch too.
  EXPECT_TRUE(fs::is_directory("AppData/VQA/Reports"));
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{0, 1, -1}));
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
  for (const auto& item : fs::directory_iterator(".")) names.push_back(item.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"big.bin", "pass.ini"}));
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

TEST_F(DownloadPass, AVersionFileThatCannotBeWrittenFailsAndTheOldStays) {
  data.SetRelease({{"a.txt", "abc"}});
  card.Write("ver.dat", "old records");
  auto server = StartServer(data);
  // The card takes files of up to 100 bytes: "a.txt" fits, the new
  // version file (284 bytes) does not.
  rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const UpdateRun run = Update(*server);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kFailed});
  EXPECT_EQ(card.Read("a.txt"), "abc");
  EXPECT_EQ(card.Read("ver.dat"), "old records");
}

TEST_F(DownloadPass, TheFallbackLogFolderIsUploadedFirst) {
  // An empty program path makes the log folder "D:\logs_2"; the folder's own
  // name then yields announcements for it too ("2", "2/A").
  data.SetRelease({{"a.txt", "abc"}});
  card.Write("D:/logs_2/first.log", "one");
  card.Write("D:/logs_2/A/second.log", "two");
  auto server = StartServer(data);
  Update(*server);
  EXPECT_EQ(data.Received("logs/123456789/2/first.log"), "one");
  EXPECT_EQ(data.Received("logs/123456789/2/A/second.log"), "two");
  EXPECT_FALSE(card.Exists("D:/logs_2"));
  std::vector<std::string> order;
  for (const auto& line : server->Log())
    if (line.rfind("REQ", 0) == 0) order.push_back(line.substr(9, line.find(" cookie") - 9));
  ASSERT_GE(order.size(), 4u);
  EXPECT_EQ(order[1], "/script/logsetdir.php dir=2");
  EXPECT_EQ(order.back(), "/script/get.php f=-1");
}
