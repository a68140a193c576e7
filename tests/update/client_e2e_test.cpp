// The client program on a card, end to end: real processes, the reference
// server on loopback. Each run happens in a private mount namespace in which
// the card folder is bind-mounted onto itself, so the card is the root of its
// own "drive" and the log folder is the card's own "logs" (the program finds
// it from the mount that holds it). Tests therefore never touch a log folder
// of the machine and can run side by side.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "tests/support/process.h"
#include "tests/support/temp_card.h"
#include "app/update_result.h"
#include "tests/update/server_data.h"
#include "update/update_file_entry.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {
constexpr const char* kOnOwnDrive =
    "mount --bind \"$0\" \"$0\" && cd \"$0\" && exec ./koral70.exe \"$@\"";

bool CanMountPrivately() {
  static const bool can = RunProcess({"/usr/bin/unshare", "-m", "/bin/true"}, "", "", {}).exitCode == 0;
  return can;
}

class ClientOnCard : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!CanMountPrivately()) GTEST_SKIP() << "needs unshare -m (root) for a card of its own";
    card.Write("pass.ini", "serial=123456789\npass=secret\n");
    client = ReadFile(ClientBinary());
  }
  // Runs "koral70.exe args" from the card with the reference server.
  ProcessResult Run(const ServerProcess& server, const std::vector<std::string>& args,
                    const std::string& input = "") {
    return RunAt(server.BaseUrl(), args, input);
  }
  ProcessResult RunAt(const std::string& url, const std::vector<std::string>& args,
                      const std::string& input = "") {
    std::vector<std::string> argv = {"/usr/bin/unshare", "-m", "/bin/sh", "-c", kOnOwnDrive, card.Path()};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, input, card.Path(),
                      {{"KORAL70_UI", "headless"}, {"KORAL70_UPDATE_URL", url},
                       {"http_proxy", ""}, {"LANG", "C.UTF-8"}},
                      120);
  }
  void InstallClient(const std::string& bytes) {
    card.Write("koral70.exe", bytes);
    fs::permissions(card.Path() + "/koral70.exe", fs::perms::owner_all, fs::perm_options::add);
  }
  // A started new client runs on its own: wait (bounded) until the card
  // shows that it has put itself in place and finished its update.
  bool WaitForSwap(const std::string& expectedClient) {
    for (int i = 0; i < 600; ++i) {
      if (!card.Exists("old_koral70.exe") && !card.Exists("new_koral70.exe") &&
          card.Read("koral70.exe") == expectedClient && card.Exists("ver.dat"))
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }
  static size_t Count(const ServerProcess& server, const std::string& text) {
    size_t n = 0;
    for (const auto& line : server.Log()) n += line.rfind("REQ", 0) == 0 && line.find(text) != std::string::npos;
    return n;
  }
  static bool WaitForCount(const ServerProcess& server, const std::string& text, size_t count) {
    for (int i = 0; i < 600 && Count(server, text) < count; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return Count(server, text) >= count;
  }

  TempCard card;
  ServerData data;
  std::string client;
};

}  // namespace

TEST_F(ClientOnCard, UnattendedRunMakesTheCardEqualToTheRelease) {
  const std::vector<ReleaseFile> release = {
      {"Support\\updater\\koral70.exe", client, "3.4.0"},
      {"Readme.txt", "read me\n"},
      {"Reports\\table.css", "td { color: blue }\n"},
      {"VQA\\Data\\Models\\2024\\models.txt", std::string(100000, 'm'), "2024.05"},
      {"VQA\\Config\\settings.ini", "[settings]\n", "1.2", true},
      {"Docs\\Release notes.txt", "notes\n"}};
  data.SetRelease(release);
  InstallClient(client);
  card.Write("logs/today.log", "log of today");
  card.Write("logs/2024/05/old.log", "log of May");
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());

  ProcessResult result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("StatusLog: Connecting to server... OK"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("MessageBox"), std::string::npos) << result.out;
  for (const auto& file : release)
    EXPECT_EQ(Md5Hex(card.Read(CardPath(file.name))), Md5Hex(file.content)) << file.name;
  const std::string versionFile = card.Read("ver.dat");
  ASSERT_EQ(versionFile.size(), release.size() * sizeof(UpdateFileEntry));
  for (size_t i = 0; i < release.size(); ++i) {
    UpdateFileEntry record;
    std::memcpy(&record, versionFile.data() + i * sizeof record, sizeof record);
    EXPECT_STREQ(record.szName, release[i].name.c_str());
    EXPECT_EQ(record.bLocalDigest, release[i].localDigest ? 1 : 0);
    EXPECT_EQ(DigestHex(record.abDigest), Md5Hex(release[i].content));
  }
  // A root file the folder lists after the subfolder goes under the last
  // announced folder, so today's log may land in either place.
  const std::string today = data.Received("logs/123456789/today.log") +
                            data.Received("logs/123456789/2024/05/today.log");
  EXPECT_EQ(today, "log of today");
  EXPECT_EQ(data.Received("logs/123456789/2024/05/old.log"), "log of May");
  EXPECT_FALSE(card.Exists("logs"));

  const size_t fetches = Count(server, "get.php f=");
  result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, 0);
  ASSERT_TRUE(WaitForCount(server, "get.php f=", fetches + 1));
  EXPECT_EQ(Count(server, "get.php f="), fetches + 1);  // only the end of the pass
  EXPECT_EQ(card.Read("ver.dat"), versionFile);
}

TEST_F(ClientOnCard, ServerAnnouncedClientReplacesItselfAndUpdates) {
  const std::string oldClient = client + "old build";
  const std::string newClient = client + "new build";
  data.SetRelease({{"Support\\updater\\koral70.exe", newClient, "3.5.0"}, {"Readme.txt", "read me\n"}});
  data.SetClient(newClient, 341);
  InstallClient(oldClient);
  std::vector<std::string> arguments = data.Arguments();
  arguments.push_back("--client-update-once");
  ServerProcess server(arguments);
  ASSERT_TRUE(server.Started());

  const ProcessResult result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, kUpdateHandedOver) << result.err;
  EXPECT_NE(result.out.find("ShellExecute: open new_koral70.exe /e"), std::string::npos) << result.out;
  ASSERT_TRUE(WaitForSwap(newClient)) << result.out;
  ASSERT_TRUE(WaitForCount(server, "get.php f=-1", 1));
  EXPECT_EQ(card.Read("Readme.txt"), "read me\n");
  EXPECT_EQ(Count(server, "GET /client/koral70.exe"), 1u);
  EXPECT_EQ(Count(server, "update.php"), 2u);

  // The new client's next run is an ordinary pass with nothing to fetch.
  const size_t fetches = Count(server, "get.php f=");
  EXPECT_EQ(Run(server, {"/b"}).exitCode, 0);
  ASSERT_TRUE(WaitForCount(server, "get.php f=", fetches + 1));
  EXPECT_EQ(Count(server, "get.php f="), fetches + 1);
  EXPECT_EQ(card.Read("koral70.exe"), newClient);
}

TEST_F(ClientOnCard, DifferentClientEntryReplacesItselfAndUpdates) {
  const std::string oldClient = client + "old build";
  const std::string newClient = client + "new build";
  data.SetRelease({{"Readme.txt", "read me\n"}, {"Support\\updater\\koral70.exe", newClient, "3.5.0"},
                   {"Docs\\notes.txt", "notes\n"}});
  InstallClient(oldClient);
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());

  const ProcessResult result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, kUpdateHandedOver) << result.err;
  EXPECT_NE(result.out.find("ShellExecute: open new_koral70.exe /e"), std::string::npos) << result.out;
  // The first run fetched only the client; the new one fetches the rest.
  ASSERT_TRUE(WaitForCount(server, "get.php f=-1", 2)) << result.out;
  ASSERT_TRUE(WaitForSwap(newClient));
  EXPECT_EQ(card.Read("Readme.txt"), "read me\n");
  EXPECT_EQ(card.Read("Docs/notes.txt"), "notes\n");
  EXPECT_EQ(card.Read("Support/updater/koral70.exe"), newClient);
  std::vector<std::string> fetched;
  for (const auto& line : server.Log())
    if (line.rfind("REQ POST /script/get.php", 0) == 0) fetched.push_back(line.substr(25, line.find(' ', 25) - 25));
  EXPECT_EQ(fetched, (std::vector<std::string>{"f=1", "f=-1", "f=0", "f=2", "f=-1"}));
}

// The exit status of an unattended run tells a scheduler how it ended.
TEST_F(ClientOnCard, ExitStatusSaysTheServerCouldNotBeReachedOrRefusedTheLogin) {
  data.SetRelease({{"Readme.txt", "read me\n"}});
  InstallClient(client);
  {
    ServerProcess server(data.Arguments());
    ASSERT_TRUE(server.Started());
    card.Write("pass.ini", "serial=123456789\npass=wrong\n");
    ProcessResult result = Run(server, {"/b"});
    EXPECT_EQ(result.exitCode, kUpdateNoLogin) << result.out;
    EXPECT_NE(result.out.find("MessageBox[none]: Incorrect serial number or password"), std::string::npos)
        << result.out;
  }
  card.Write("pass.ini", "serial=123456789\npass=secret\n");
  ProcessResult result = RunAt("http://127.0.0.1:9", {"/b"});  // nothing listens there
  EXPECT_EQ(result.exitCode, kUpdateNoLogin) << result.out;
  EXPECT_NE(result.out.find("Cannot connect to server"), std::string::npos) << result.out;
  EXPECT_FALSE(card.Exists("Readme.txt"));
}

TEST_F(ClientOnCard, ExitStatusSaysATransferFailed) {
  data.SetRelease({{"Readme.txt", "read me\n"}, {"Docs\\notes.txt", "notes\n"}});
  InstallClient(client);
  std::vector<std::string> arguments = data.Arguments();
  arguments.insert(arguments.end(), {"--fault", "/script/get.php:drop:f=1"});
  ServerProcess server(arguments);
  ASSERT_TRUE(server.Started());

  const ProcessResult result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, kUpdateTransferFailed) << result.out;
  EXPECT_NE(result.out.find("MessageBox[exclamation]: Update failed"), std::string::npos) << result.out;
  EXPECT_FALSE(card.Exists("ver.dat"));
}

TEST_F(ClientOnCard, ExitStatusSaysLogsStayedOnACurrentCard) {
  data.SetRelease({{"Readme.txt", "read me\n"}});
  InstallClient(client);
  card.Write("logs/today.log", "log of today");
  std::vector<std::string> arguments = data.Arguments();
  arguments.insert(arguments.end(), {"--fault", "/script/logupload.php:status500"});
  ServerProcess server(arguments);
  ASSERT_TRUE(server.Started());

  ProcessResult result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, kUpdateLogsLeft) << result.out;
  EXPECT_EQ(card.Read("Readme.txt"), "read me\n");
  EXPECT_EQ(card.Read("logs/today.log"), "log of today");
}

TEST_F(ClientOnCard, ExitStatusIsZeroOnlyWhenTheCardIsCurrent) {
  data.SetRelease({{"Readme.txt", "read me\n"}});
  InstallClient(client);
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());
  EXPECT_EQ(Run(server, {"/b"}).exitCode, kUpdateCurrent);
  EXPECT_EQ(Run(server, {"/b"}).exitCode, kUpdateCurrent);  // nothing to fetch
  // Without /b the status stays 0 whatever the update did.
  card.Write("pass.ini", "serial=123456789\npass=wrong\n");
  EXPECT_EQ(Run(server, {}, "click 1000\n").exitCode, 0);
}

// A new client that cannot be started leaves the old one in charge: the
// user is told, the window stays, and an unattended run ends with a failure.
TEST_F(ClientOnCard, NewClientThatCannotStartIsReportedAndTheWindowStays) {
  data.SetRelease({{"Readme.txt", "read me\n"}});
  data.SetClient("not a program", 341);
  InstallClient(client);
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());

  ProcessResult result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, kUpdateTransferFailed) << result.out;
  EXPECT_NE(result.out.find("ShellExecute: open new_koral70.exe /e"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("MessageBox[none]: Error downloading data"), std::string::npos) << result.out;
  EXPECT_EQ(card.Read("koral70.exe"), client);

  // Interactive: after the message the window still takes commands.
  result = Run(server, {}, "click 1000\nset 1001 still open\nclick 1\n");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.out.find("MessageBox[none]: Error downloading data"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("StatusLog: still open"), std::string::npos) << result.out;
}
