// The update query against the reference server: every answer the card can
// get and what the window shows for it.
#include <gtest/gtest.h>

#include <thread>

#include "res/resource.h"
#include "tests/support/environment.h"
#include "tests/support/temp_card.h"
#include "tests/update/update_window.h"

using namespace testing_support;

namespace {
constexpr const wchar_t* kInvalidPlain = L"MessageBox[none]: Invalid Response from server";
constexpr const wchar_t* kInvalidExclamation = L"MessageBox[exclamation]: Invalid Response from server";

class UpdateQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    card.Write("pass.ini", "serial=123456789\npass=secret\n");
    data.SetRelease({{"Readme.txt", "hello"}});
  }
  TempCard card;
  ServerData data;
};
}  // namespace

TEST_F(UpdateQuery, MissingCredentialsSendNothing) {
  card.Write("pass.ini", "serial=123456789\n");
  auto server = StartServer(data);
  const UpdateRun run = RunUpdate();
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{L"MessageBox[none]: Need User ID and Password"});
  EXPECT_EQ(run.status, L"  * Need User ID and Password\r\n");  // the job's own log, not the last one's
  for (const auto& line : server->Log()) EXPECT_EQ(line.find("REQ"), std::string::npos) << line;
}

TEST_F(UpdateQuery, NoServerIsACannotConnect) {
  setenv("KORAL70_UPDATE_URL", "http://127.0.0.1:1", 1);
  const UpdateRun run = RunUpdate();
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{L"MessageBox[none]: Cannot connect to server"});
  EXPECT_EQ(run.status,
            L"Connecting to server...\r\n  Connection lost; trying again in 1 s (2 of 4)\r\n"
            L"\r\n  Connection lost; trying again in 2 s (3 of 4)\r\n"
            L"\r\n  Connection lost; trying again in 4 s (4 of 4)\r\n"
            L" Error\r\n\r\n  Cause: the server refused the connection; check the server address "
            L"and your firewall, or try again later\r\n\r\n  * Cannot connect to server\r\n");
}

TEST_F(UpdateQuery, SendsTheFieldsInOrderWithNewsAndBatch) {
  auto server = StartServer(data);
  RunUpdate(true);
  RunUpdate(false, {std::wstring(Check(IDC_UPDATE_NEWS, false))});
  ASSERT_TRUE(server->WaitForLog("&clientversion=340 "));
  std::vector<std::string> queries;
  for (int i = 0; i < 250 && queries.size() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    queries.clear();
    for (const auto& line : server->Log())
      if (line.rfind("REQ POST /script/update.php", 0) == 0) queries.push_back(line);
  }
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_NE(queries[0].find(" serial=123456789&pwd=secret&notify=1&batch=1&clientversion=340 "),
            std::string::npos);
  EXPECT_NE(queries[1].find(" serial=123456789&pwd=secret&clientversion=340 "), std::string::npos);
  EXPECT_EQ(data.Received("queries.txt"),
            "123456789 notify=1 batch=1 clientversion=340\n"
            "123456789 notify=0 batch=0 clientversion=340\n");
}

TEST_F(UpdateQuery, WrongPasswordIsReported) {
  card.Write("pass.ini", "serial=123456789\npass=wrong\n");
  auto server = StartServer(data);
  const UpdateRun run = RunUpdate();
  EXPECT_EQ(run.Messages(),
            std::vector<std::wstring>{L"MessageBox[none]: Incorrect serial number or password"});
  EXPECT_EQ(run.status, L"Connecting to server... OK\r\n\r\n  * Incorrect serial number or password\r\n");
}

TEST_F(UpdateQuery, AnswersTooShortToReadAreInvalid) {
  // A lone "I" is not yet a wrong password; an empty body is nothing at all.
  card.Write("pass.ini", "serial=123456789\npass=wrong\n");
  {
    auto server = StartServer(data, {"--fault", "/script/update.php:short1"});
    const UpdateRun run = RunUpdate();
    EXPECT_EQ(run.Messages(), std::vector<std::wstring>{kInvalidPlain});
    EXPECT_EQ(run.status, L"Connecting to server... Error\r\n\r\n  * Invalid Response from server\r\n");
  }
  {
    auto server = StartServer(data, {"--fault", "/script/update.php:empty"});
    EXPECT_EQ(RunUpdate().Messages(), std::vector<std::wstring>{kInvalidPlain});
  }
}

TEST_F(UpdateQuery, AnUnregisteredOwnerIsToldToRegisterAndUnknownAnswersAreInvalid) {
  data.SetAccounts("123456789 secret U\n");
  auto server = StartServer(data);
  UpdateRun run = RunUpdate();  // "U": accepted, but the owner must register before an update
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{L"MessageBox[exclamation]: This tool's owner is not registered yet."
                                                      L"\\r\\nPress \"Change user info\" to register, then update again."});
  EXPECT_TRUE(FetchedIndexes(*server).empty());
  data.SetAccounts("123456789 secret L\n");
  TakeOutput();
  // An error page: the status is not looked at, its first byte is.
  auto failing = StartServer(data, {"--fault", "/script/update.php:status500"});
  EXPECT_EQ(RunUpdate().Messages(), std::vector<std::wstring>{kInvalidExclamation});
}

TEST_F(UpdateQuery, AnEmptyListIsTooShort) {
  data.SetRelease({});
  auto server = StartServer(data);
  EXPECT_EQ(RunUpdate().Messages(), std::vector<std::wstring>{kInvalidExclamation});
}

TEST_F(UpdateQuery, ACutOffAnswerIsAFailedTransfer) {
  auto server = StartServer(data, {"--fault", "/script/update.php:truncate"});
  const UpdateRun run = RunUpdate();
  EXPECT_EQ(run.Messages(), std::vector<std::wstring>{L"MessageBox[none]: Cannot connect to server"});
}

TEST_F(UpdateQuery, UnsafeNamesRefuseTheWholeList) {
  card.Write("keep.txt", "card file");
  data.SetRelease({{"Readme.txt", "hello"}, {"..\\outside.txt", ""}});
  auto server = StartServer(data);
  EXPECT_EQ(RunUpdate().Messages(), std::vector<std::wstring>{kInvalidExclamation});
  EXPECT_FALSE(card.Exists("Readme.txt"));
  EXPECT_FALSE(card.Exists("ver.dat"));
  EXPECT_TRUE(FetchedIndexes(*server).empty());
}
