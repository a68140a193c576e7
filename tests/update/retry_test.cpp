// Exchanges tried again after a network failure, against the reference
// server's fault switches: what is tried again, how often, and a stop
// during a wait.
#include <gtest/gtest.h>

#include <filesystem>

#include "net/http_session.h"
#include "net/retry.h"
#include "tests/support/recording_reporter.h"
#include "tests/support/temp_card.h"
#include "tests/update/update_window.h"
#include "core/product.h"
#include "update/update_job.h"

using namespace testing_support;

namespace {
// Stops the job as the user would when the first wait is shown.
class CStoppingReporter : public CRecordingReporter {
 public:
  void PostStatus(const CString& text) override {
    CRecordingReporter::PostStatus(text);
    if (text.str().find(L"trying again") != std::wstring::npos) cancelled = true;
  }
};

class Retry : public ::testing::Test {
 protected:
  void SetUp() override {
    card.Write("pass.ini", "serial=123456789\npass=secret\n");
    card.Write("logs/a.log", "log a\n");
    data.SetRelease({{"a.txt", std::string(200000, 'a')}, {"b.txt", "bee\n"}});
  }
  // Every in-process test waits a few milliseconds only (test_main).
  void TearDown() override { SetRetryWaitScaleForTesting(1); }

  int Run(const std::vector<std::string>& faults, CRecordingReporter& reporter) {
    std::vector<std::string> arguments;
    for (const auto& fault : faults) arguments.insert(arguments.end(), {"--fault", fault});
    server = StartServer(data, arguments);
    return RunJob(reporter, L"secret");
  }
  static int RunJob(CRecordingReporter& reporter, const wchar_t* password) {
    JOBPARAM job;
    job.strSerial = L"123456789";
    job.strPassword = password;
    job.bBatch = TRUE;
    const std::wstring program = (std::filesystem::current_path() / "koral70.exe").wstring();
    program.copy(job.szModulePath, program.size());
    return RunUpdateJob(&job, reporter);
  }
  size_t Tries(const std::string& text) {
    server->WaitForRequests("f=-1", 1, 2000);
    return server->CountRequests(text);
  }

  TempCard card;
  ServerData data;
  std::unique_ptr<ServerProcess> server;
};
}  // namespace

TEST_F(Retry, EachKindOfNetworkFailureIsTriedAgainAndTheRunSucceeds) {
  SetLowSpeedWindowForTesting(1);  // a stall is given up after a second
  // libcurl itself sends a request once more when a reused connection is
  // reset, so a switch on one fails two requests or more.
  for (const std::string fault :
       {"/script/update.php:reset:1", "/script/update.php:drop:2", "/script/update.php:status503:3",
        "/script/update.php:status429:1", "/script/get.php:reset:f=0:3", "/script/get.php:truncate:f=0:1",
        "/script/get.php:stall:f=0:1", "/script/get.php:status503:f=1:2", "/script/logupload.php:reset:2"}) {
    for (const char* name : {"a.txt", "b.txt", "ver.dat"}) std::filesystem::remove(name);
    card.Write("logs/a.log", "log a\n");
    CRecordingReporter reporter;
    EXPECT_EQ(Run({fault}, reporter), kUpdateCurrent) << fault;
    EXPECT_EQ(card.Read("a.txt"), std::string(200000, 'a')) << fault;
    EXPECT_TRUE(card.Exists("ver.dat")) << fault;
    EXPECT_NE(reporter.log.find(fault.find("status") != std::string::npos ? L"The server is busy; trying again in 1 s (2 of 4)"
                                                                          : L"Connection lost; trying again in 1 s (2 of 4)"),
              std::wstring::npos)
        << fault;
    EXPECT_TRUE(reporter.output.empty()) << fault;
  }
  SetLowSpeedWindowForTesting(60);
}

TEST_F(Retry, ALastingFailureEndsAfterFourTriesWithTodaysOutcome) {
  CRecordingReporter files;
  EXPECT_EQ(Run({"/script/get.php:status503:f=0"}, files), kUpdateTransferFailed);
  EXPECT_EQ(Tries("f=0 "), 4u);
  EXPECT_NE(files.log.find(L"(4 of 4)"), std::wstring::npos);
  EXPECT_EQ(files.log.find(L"(5 of 4)"), std::wstring::npos);
  EXPECT_FALSE(card.Exists("a.txt"));  // nothing placed from a failed transfer
  EXPECT_FALSE(card.Exists("ver.dat"));

  CRecordingReporter refused;
  setenv("KORAL70_UPDATE_URL", "http://127.0.0.1:1", 1);
  LoadServerAddresses();
  EXPECT_EQ(RunJob(refused, L"secret"), kUpdateNoLogin);
  EXPECT_NE(refused.log.find(L"(4 of 4)"), std::wstring::npos);
  EXPECT_EQ(refused.output, std::vector<std::wstring>{L"MessageBox[none]: Cannot connect to server"});
}

TEST_F(Retry, AnAnswerThatSaysNoOrAWrongBodyIsNotTriedAgain) {
  CRecordingReporter corrupt;
  EXPECT_EQ(Run({"/script/get.php:corrupt:f=0"}, corrupt), kUpdateTransferFailed);
  EXPECT_EQ(Tries("f=0 "), 1u);
  CRecordingReporter refused;
  EXPECT_EQ(RunJob(refused, L"wrong"), kUpdateNoLogin);
  EXPECT_TRUE(server->WaitForRequests("pwd=wrong", 1, 2000));
  EXPECT_EQ(server->CountRequests("pwd=wrong"), 1u);
  EXPECT_EQ(refused.log.find(L"trying again"), std::wstring::npos);
}

TEST_F(Retry, AStopDuringAWaitEndsTheRunAtOnce) {
  SetRetryWaitScaleForTesting(1000);  // a real wait, ended by the stop
  CStoppingReporter query;
  EXPECT_EQ(Run({"/script/update.php:status503"}, query), kUpdateNotFinished);
  // The server logs a request after answering it: wait for the line.
  EXPECT_TRUE(server->WaitForRequests("update.php", 1, 2000));
  EXPECT_EQ(server->CountRequests("update.php"), 1u);
  EXPECT_TRUE(query.output.empty());
  CStoppingReporter file;
  EXPECT_EQ(Run({"/script/get.php:reset:f=0"}, file), kUpdateNotFinished);
  EXPECT_FALSE(card.Exists("a.txt"));
  EXPECT_NE(file.log.find(L"Stopped at your request."), std::wstring::npos);
}

TEST_F(Retry, ALogWhoseAnswerWasLostIsSentAgainAndRemovedOnceTaken) {
  // The script stores the log, then its answer is cut off.
  CRecordingReporter reporter;
  EXPECT_EQ(Run({"/script/logupload.php:truncate:1"}, reporter), kUpdateCurrent);
  EXPECT_EQ(server->CountRequests("logupload.php"), 2u);
  EXPECT_FALSE(card.Exists("logs/a.log"));
  EXPECT_EQ(data.Received("logs/123456789/a.log"), "log a\n");
}
