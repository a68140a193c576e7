// The log upload against the reference server: what is sent, in which order,
// and what is left on the card.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "core/product.h"
#include "logs/log_upload.h"
#include "net/http_session.h"
#include "query/update_query.h"
#include "tests/support/temp_card.h"
#include "tests/update/update_window.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {
class LogUpload : public ::testing::Test {
 protected:
  void SetUp() override { data.SetRelease({{"a.txt", "a"}}); }

  // Logs the card in on a fresh session and walks the card's "logs" folder.
  void Upload(ServerProcess& server, bool login = true) {
    CHttpSession session;
    if (login) {
      session.SetUrl(ServerScriptUrl(ServerScript::kUpdate));
      session.AddPostField(BuildUpdateQuery(L"123456789", L"secret", false, false));
      ASSERT_EQ(session.Perform(), HttpResult::kOk);
    }
    outcome = UploadLogs(session, fs::absolute("logs").wstring().c_str());
    EXPECT_EQ(g_pUploadSession, nullptr);
    session.ClearPostFields();
    session.AddPostField(L"f=-1");
    session.SetUrl(ServerScriptUrl(ServerScript::kGet));
    session.Perform();
    ASSERT_TRUE(server.WaitForLog("f=-1"));
  }
  // The log requests, as "<script> <summary>" without the cookie.
  static std::vector<std::string> LogRequests(const ServerProcess& server) {
    std::vector<std::string> requests;
    for (const auto& line : server.Log()) {
      if (line.rfind("REQ POST /script/log", 0) != 0) continue;
      requests.push_back(line.substr(17, line.find(" cookie=") - 17));
    }
    return requests;
  }

  TempCard card;
  ServerData data;
  LogUploadCounts outcome;
};
}  // namespace

TEST_F(LogUpload, FilesOfTheFolderAreSentAndRemovedWithIt) {
  card.Write("logs/one.log", "first");
  card.Write("logs/.hidden", "second");
  auto server = StartServer(data);
  Upload(*server);
  auto requests = LogRequests(*server);
  std::sort(requests.begin(), requests.end());
  EXPECT_EQ(requests, (std::vector<std::string>{"logupload.php file:5(one.log) name:7",
                                                "logupload.php file:6(.hidden) name:7"}));
  EXPECT_EQ(data.Received("logs/123456789/one.log"), "first");
  EXPECT_EQ(data.Received("logs/123456789/.hidden"), "second");
  EXPECT_FALSE(card.Exists("logs"));
  EXPECT_FALSE(outcome.failed);
}

TEST_F(LogUpload, SubfoldersAreAnnouncedBeforeTheirFilesAndRemovedInnermostFirst) {
  card.Write("logs/A/B/deep.log", "deep");
  auto server = StartServer(data);
  Upload(*server);
  EXPECT_EQ(LogRequests(*server),
            (std::vector<std::string>{"logsetdir.php dir=A", "logsetdir.php dir=A/B",
                                      "logupload.php file:4(deep.log) name:8"}));
  EXPECT_EQ(data.Received("logs/123456789/A/B/deep.log"), "deep");
  EXPECT_EQ(data.Received("logsetdir.txt"), "123456789 A\n123456789 A/B\n");
  EXPECT_FALSE(card.Exists("logs"));
}

TEST_F(LogUpload, AnEmptyFolderSendsNothingAndGoes) {
  fs::create_directory("logs");
  auto server = StartServer(data);
  Upload(*server);
  EXPECT_TRUE(LogRequests(*server).empty());
  EXPECT_FALSE(card.Exists("logs"));
}

TEST_F(LogUpload, NoFolderNothingToDo) {
  auto server = StartServer(data);
  Upload(*server);
  EXPECT_TRUE(LogRequests(*server).empty());
  EXPECT_FALSE(outcome.failed);
}

TEST_F(LogUpload, AfterAFailedUploadTheRestIsSentButNothingDeleted) {
  for (const char* name : {"a.log", "b.log", "c.log"}) card.Write(std::string("logs/") + name, name);
  auto server = StartServer(data, {"--fault", "/script/logupload.php:drop:b.log"});
  Upload(*server);
  EXPECT_TRUE(outcome.failed);
  // The walk follows the folder's own order: files before b.log were sent
  // and deleted, the ones after it were sent and kept.
  std::vector<std::string> order;
  for (const auto& request : LogRequests(*server)) {
    const size_t open = request.find('(');
    const std::string name = request.substr(open + 1, request.find(')') - open - 1);
    if (order.empty() || order.back() != name) order.push_back(name);  // libcurl's one retry
  }
  ASSERT_EQ(order.size(), 3u);
  bool failedYet = false;
  for (const auto& name : order) {
    failedYet = failedYet || name == "b.log";
    EXPECT_EQ(card.Exists("logs/" + name), failedYet) << name;
  }
  EXPECT_TRUE(card.Exists("logs"));
}

TEST_F(LogUpload, AnUploadTheServerRefusedStaysOnTheCard) {
  card.Write("logs/kept.log", "kept");
  {
    auto server = StartServer(data, {"--fault", "/script/logupload.php:status500"});
    Upload(*server);
    EXPECT_EQ(LogRequests(*server).size(), 1u);
    EXPECT_EQ(card.Read("logs/kept.log"), "kept");
    EXPECT_TRUE(outcome.failed);
  }
  // Without the login's session the server refuses too.
  auto server = StartServer(data);
  Upload(*server, false);
  EXPECT_EQ(card.Read("logs/kept.log"), "kept");
  EXPECT_FALSE(data.HasReceived("logs/123456789/kept.log"));
}

TEST_F(LogUpload, NonAsciiNamesAreSentInUtf8InBothParts) {
  card.Write("logs/診断/ログ 1.txt", "x");
  auto server = StartServer(data);
  Upload(*server);
  EXPECT_EQ(LogRequests(*server), (std::vector<std::string>{"logsetdir.php dir=診断",
                                                            "logupload.php file:1(ログ 1.txt) name:12"}));
  EXPECT_EQ(data.Received("logs/123456789/診断/ログ 1.txt"), "x");
}

TEST_F(LogUpload, EveryLogArrivesInItsOwnFolderWhateverTheListingOrder) {
  // Enough root files that the listing returns some of them after the
  // subfolder, whose walk has moved the server's folder on.
  for (int i = 0; i < 20; ++i) card.Write("logs/root" + std::to_string(i) + ".log", "root");
  card.Write("logs/2024/05/may.log", "may");
  auto server = StartServer(data);
  Upload(*server);
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(data.Received("logs/123456789/root" + std::to_string(i) + ".log"), "root") << i;
  EXPECT_EQ(data.Received("logs/123456789/2024/05/may.log"), "may");
  EXPECT_FALSE(card.Exists("logs"));
}

#ifndef _WIN32  // POSIX links and pipes: on Windows a link is a reparse point, refused by the same code
TEST_F(LogUpload, LinksAndPipesAreNeitherFollowedNorSentAndStayWithoutAFailure) {
  card.Write("outside/secret.txt", "not a log");
  card.Write("logs/real.log", "log");
  fs::create_directory_symlink(fs::absolute("outside"), "logs/linked");
  fs::create_symlink(fs::absolute("outside/secret.txt"), "logs/linked.txt");
  fs::create_hard_link("outside/secret.txt", "logs/hard.log");
  // Reading a pipe without a writer would wait for ever.
  ASSERT_EQ(mkfifo("logs/pipe.log", 0600), 0);
  auto server = StartServer(data);
  Upload(*server);
  EXPECT_EQ(LogRequests(*server), std::vector<std::string>{"logupload.php file:3(real.log) name:8"});
  EXPECT_EQ(card.Read("outside/secret.txt"), "not a log");
  EXPECT_FALSE(card.Exists("logs/real.log"));
  EXPECT_TRUE(fs::is_fifo("logs/pipe.log"));
  EXPECT_EQ(fs::hard_link_count("outside/secret.txt"), 2u);
  EXPECT_FALSE(outcome.failed);
}
#endif

TEST(CardLogFolder, LogsBesideTheProgramOrTheFallback) {
  EXPECT_EQ(CardLogFolder(L"", false), L"D:\\logs_2");
  // On a card the program sits in the drive's root: its own log folder.
  EXPECT_EQ(CardLogFolder(L"/media/SD CARD/koral70.exe", false), L"/media/SD CARD/logs");
  EXPECT_EQ(CardLogFolder(L"E:\\koral70.exe", false), L"E:\\logs");
  // Run from a folder of a system disk, it stays in that folder, never the
  // disk's root.
  EXPECT_EQ(CardLogFolder(L"/tmp/koral70-demo.x/card/koral70.exe", false), L"/tmp/koral70-demo.x/card/logs");
  EXPECT_EQ(CardLogFolder(L"/koral70.exe", false), L"/logs");
}

TEST(CardLogFolder, AProgramOffTheCardTakesTheCardsOwnLogs) {
  EXPECT_EQ(CardLogFolder(L"/usr/bin/koral70", true), L"logs");
}
