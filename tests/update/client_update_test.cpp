// The client's self-update, job side, in the main window: the new client of a
// "C" answer and the client entry of the list.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "app/status_channel.h"
#include "tests/support/temp_card.h"
#include "tests/update/update_window.h"
#include "update/client_update.h"
#include "update/update_file_entry.h"

using namespace testing_support;

namespace {
constexpr const wchar_t* kLaunch = L"ShellExecute: open new_koral70.exe /e";

class ClientUpdate : public ::testing::Test {
 protected:
  void SetUp() override { card.Write("pass.ini", "serial=123456789\npass=secret\n"); }
  static void WaitForEnd(const ServerProcess& server, size_t ends) {
    for (int i = 0; i < 250; ++i) {
      size_t n = 0;
      for (const auto& line : server.Log()) n += line.find("REQ POST /script/get.php f=-1") == 0;
      if (n >= ends) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  std::vector<UpdateFileEntry> VersionRecords() {
    return RecordsOf(card.Read("ver.dat"));
  }
  TempCard card;
  ServerData data;
};
// New clients that can really be started: a failed start is reported.
constexpr const char* kRunnableClient = "#!/bin/sh\nexit 0 # the new client\n";
constexpr const char* kRunnableClientV2 = "#!/bin/sh\nexit 0 # client v2!\n";
}  // namespace

TEST_F(ClientUpdate, ServerNamedClientIsFetchedAndStarted) {
  data.SetRelease({{"a.txt", "a"}});
  data.SetClient(kRunnableClient, 341);
  auto server = StartServer(data);
  const UpdateRun run = RunUpdate();
  EXPECT_EQ(run.output, std::vector<std::wstring>{kLaunch});
  EXPECT_EQ(card.Read("new_koral70.exe"), kRunnableClient);
  EXPECT_EQ(run.status, L"Connecting to server... OK\r\n\r\nDownloading client udate... \r\n OK\r\n\r\n");
  EXPECT_FALSE(card.Exists("a.txt"));
}

TEST_F(ClientUpdate, AnErrorPageOrNothingIsNoClient) {
  data.SetRelease({{"a.txt", "a"}});
  data.SetClient(kRunnableClient, 341);
  // The status log says why, after the failed step.
  const std::pair<const char*, const wchar_t*> faults[] = {
      {"/client/koral70.exe:status404", L"  Cause: the server answered with HTTP status 404; try again later\r\n\r\n"},
      {"/client/koral70.exe:empty", L""},
      {"/client/koral70.exe:truncate", L"  Cause: the transfer failed (transfer closed with "}};
  for (const auto& [fault, cause] : faults) {
    auto server = StartServer(data, {"--fault", fault});
    const UpdateRun run = RunUpdate();
    EXPECT_EQ(run.output, std::vector<std::wstring>{L"MessageBox[none]: Error downloading data"}) << fault;
    const std::wstring failed = L"Connecting to server... OK\r\n\r\nDownloading client udate... \r\n Error\r\n\r\n";
    EXPECT_EQ(run.status.substr(0, failed.size() + std::wcslen(cause)), failed + cause) << fault;
    EXPECT_FALSE(card.Exists("new_koral70.exe")) << fault;
    // The cut-off and the refused bodies left no temporary file behind.
    for (const auto& item : std::filesystem::directory_iterator(card.Path()))
      EXPECT_NE(item.path().filename().string().rfind(".koral70-", 0), 0u) << fault;
  }
}

TEST_F(ClientUpdate, AnAddressLongerThanTheSessionTakesIsRefused) {
  const std::string answer = "Client Update: http://127.0.0.1/" + std::string(500, 'x') + ".exe";
  CWindowReporter reporter(nullptr);
  CHttpSession session;
  TakeOutput();
  DownloadNewClient(JOBPARAM(), reporter, session, reinterpret_cast<const unsigned char*>(answer.data()),
                    static_cast<std::uint32_t>(answer.size()));
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{L"MessageBox[none]: Invalid Response from server"});
  EXPECT_FALSE(card.Exists("new_koral70.exe"));
}

TEST_F(ClientUpdate, ADifferentClientEntryFetchesOnlyItAndKeepsTheOtherRecords) {
  const std::vector<ReleaseFile> first = {{"Readme.txt", "read me", "1.0"},
                                          {"Support\\updater\\koral70.exe", "client v1", "3.4.0"},
                                          {"VQA\\settings.ini", "local", "1.0", true}};
  card.Write("koral70.exe", "client v1");
  data.SetRelease(first);
  auto server = StartServer(data);
  RunUpdate();
  WaitForEnd(*server, 1);
  const auto before = VersionRecords();
  ASSERT_EQ(before.size(), 3u);

  // A new release: a new client and a new readme under a new tag.
  data.SetRelease({{"Readme.txt", "read me again", "1.1"},
                   {"Support\\updater\\koral70.exe", kRunnableClientV2, "3.5.0"},
                   {"VQA\\settings.ini", "local", "1.0", true}});
  const UpdateRun run = RunUpdate();
  WaitForEnd(*server, 2);
  EXPECT_EQ(run.output, std::vector<std::wstring>{kLaunch});
  EXPECT_NE(run.status.find(L"OK\r\n\r\nDownloading client udate... \r\nDownloading file: Support"),
            std::wstring::npos);
  EXPECT_EQ(FetchedIndexes(*server), (std::vector<int>{0, 1, 2, -1, 1, -1}));
  EXPECT_EQ(card.Read("Readme.txt"), "read me");
  EXPECT_EQ(card.Read("Support/updater/koral70.exe"), kRunnableClientV2);
  EXPECT_EQ(card.Read("new_koral70.exe"), kRunnableClientV2);
  // The other records are the old ones, so the next pass still sees them as
  // they are on the card.
  const auto after = VersionRecords();
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(std::memcmp(&after[0], &before[0], sizeof(UpdateFileEntry)), 0);
  EXPECT_EQ(std::memcmp(&after[2], &before[2], sizeof(UpdateFileEntry)), 0);
  EXPECT_EQ(std::memcmp(after[1].szTag, "3.5.0", 5), 0);
}

TEST_F(ClientUpdate, TheCardCopyGoesEvenWhenItsFetchFails) {
  card.Write("koral70.exe", "client v1");
  card.Write("Support/updater/koral70.exe", "client v1");
  data.SetRelease({{"Readme.txt", "read me"}, {"Support\\updater\\koral70.exe", "client v2 longer"}});
  auto server = StartServer(data, {"--fault", "/script/get.php:drop:f=1"});
  const UpdateRun run = RunUpdate();
  EXPECT_EQ(run.Messages(), (std::vector<std::wstring>{L"MessageBox[none]: Download cannot be completed (1)",
                                                       L"MessageBox[exclamation]: Update failed"}));
  EXPECT_FALSE(card.Exists("Support/updater/koral70.exe"));
  EXPECT_FALSE(card.Exists("new_koral70.exe"));
  EXPECT_FALSE(card.Exists("Readme.txt"));
}

TEST_F(ClientUpdate, TheRunningClientMatchingTheEntryIsCurrent) {
  card.Write("koral70.exe", "client v1");
  data.SetRelease({{"Readme.txt", "read me"}, {"Support\\updater\\koral70.exe", "client v1"}});
  auto server = StartServer(data);
  const UpdateRun run = RunUpdate();
  EXPECT_EQ(run.output, std::vector<std::wstring>{L"MessageBox[information]: Update complete"});
  EXPECT_EQ(card.Read("Support/updater/koral70.exe"), "client v1");
  EXPECT_FALSE(card.Exists("new_koral70.exe"));
}
