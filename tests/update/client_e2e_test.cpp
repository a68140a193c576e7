// The client program on a card, end to end: real processes, the reference
// server on loopback. The client runs from the card folder, so its log
// folder is the card's own "logs" beside it, never a log folder of the
// machine, and tests can run side by side.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/wintypes.h"
#include "res/resource.h"
#include "tests/support/automation.h"
#include "tests/support/process.h"
#include "tests/support/temp_card.h"
#include "core/update_result.h"
#include "tests/update/card_client.h"
#include "tests/update/server_data.h"
#include "update/update_file_entry.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// The status log a headless run printed at its end, escaped as printed.
std::string StatusLogOf(const ProcessResult& result) {
  const size_t start = result.out.find("StatusLog: ");
  if (start == std::string::npos) return "";
  return result.out.substr(start + 11, result.out.find('\n', start) - start - 11);
}

class ClientOnCard : public ::testing::Test {
 protected:
  void SetUp() override {
    card.Write("pass.ini", "serial=123456789\npass=secret\n");
    client = ReadFile(ClientBinary());
  }
  // Runs "program args" from the card with the reference server.
  ProcessResult Run(const ServerProcess& server, const std::vector<std::string>& args,
                    const std::string& input = "", const std::string& program = "koral70.exe",
                    const Environment& extra = {}) {
    return RunAt(server.BaseUrl(), args, input, program, extra);
  }
  ProcessResult RunAt(const std::string& url, const std::vector<std::string>& args,
                      const std::string& input = "", const std::string& program = "koral70.exe",
                      const Environment& extra = {}) {
    std::vector<std::string> argv = {card.Path() + "/" + program};
    argv.insert(argv.end(), args.begin(), args.end());
    Environment env = ClientEnvironment(url);
    env.insert(env.end(), extra.begin(), extra.end());
    return RunProcess(argv, input, card.Path(), env, 120);
  }
  void InstallClient(const std::string& bytes, const std::string& name = "koral70.exe") {
    card.Write(name, bytes);
    fs::permissions(card.Path() + "/" + name, fs::perms::owner_all, fs::perm_options::add);
  }
  // The card's client can be started and is one of the two builds.
  bool HasRunnableClient(const std::string& oldClient, const std::string& newClient) {
    const fs::path path = card.Path() + "/koral70.exe";
    if (!fs::is_regular_file(path)) return false;
    if ((fs::status(path).permissions() & fs::perms::owner_exec) == fs::perms::none) return false;
    const std::string bytes = card.Read("koral70.exe");
    return bytes == oldClient || bytes == newClient;
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

  const size_t fetches = server.CountRequests("get.php f=");
  result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, 0);
  ASSERT_TRUE(server.WaitForRequests("get.php f=", fetches + 1));
  EXPECT_EQ(server.CountRequests("get.php f="), fetches + 1);  // only the end of the pass
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
  ASSERT_TRUE(server.WaitForRequests("get.php f=-1", 1));
  EXPECT_EQ(card.Read("Readme.txt"), "read me\n");
  EXPECT_EQ(server.CountRequests("GET /client/koral70.exe"), 1u);
  EXPECT_EQ(server.CountRequests("update.php"), 2u);

  // The new client's next run is an ordinary pass with nothing to fetch.
  const size_t fetches = server.CountRequests("get.php f=");
  EXPECT_EQ(Run(server, {"/b"}).exitCode, 0);
  ASSERT_TRUE(server.WaitForRequests("get.php f=", fetches + 1));
  EXPECT_EQ(server.CountRequests("get.php f="), fetches + 1);
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
  ASSERT_TRUE(server.WaitForRequests("get.php f=-1", 2)) << result.out;
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
    // What the box said stays in the log once it is closed.
    EXPECT_EQ(StatusLogOf(result), "Connecting to server... OK\\r\\n\\r\\n  * Incorrect serial number or password\\r\\n");
  }
  {
    data.SetAccounts("123456789 secret U\n");  // accepted, but no owner on record yet
    ServerProcess server(data.Arguments());
    card.Write("pass.ini", "serial=123456789\npass=secret\n");
    ProcessResult result = Run(server, {"/b"});
    EXPECT_EQ(result.exitCode, kUpdateNoLogin) << result.out;
    EXPECT_NE(result.out.find("owner is not registered yet"), std::string::npos) << result.out;
  }
  card.Write("pass.ini", "serial=123456789\npass=secret\n");
  ProcessResult result = RunAt("http://127.0.0.1:9", {"/b"});  // nothing listens there
  EXPECT_EQ(result.exitCode, kUpdateNoLogin) << result.out;
  EXPECT_NE(result.out.find("Cannot connect to server"), std::string::npos) << result.out;
  EXPECT_NE(StatusLogOf(result).find("\\r\\n\\r\\n  * Cannot connect to server\\r\\n"), std::string::npos) << result.out;
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
  EXPECT_NE(StatusLogOf(result).find("  * Download cannot be completed (1)\\r\\n"), std::string::npos) << result.out;
  EXPECT_NE(StatusLogOf(result).find("  * Update failed\\r\\n"), std::string::npos) << result.out;
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
  EXPECT_EQ(Run(server, {}, Input({Click(IDC_START_UPDATE)})).exitCode, 0);
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
  EXPECT_NE(StatusLogOf(result).find("  * Error downloading data\\r\\n"), std::string::npos) << result.out;
  EXPECT_EQ(card.Read("koral70.exe"), client);

  // Interactive: after the message the window still takes commands.
  result = Run(server, {},
               Input({Click(IDC_START_UPDATE), Set(IDC_STATUS_LOG, L"still open"), Click(IDOK)}));
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.out.find("MessageBox[none]: Error downloading data"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("StatusLog: still open"), std::string::npos) << result.out;
}

#ifndef _WIN32  // kills the client at a rename with the LD_PRELOAD injector, which Windows cannot load
// The swap a started new client makes, killed at each of its renames: the
// card keeps a runnable client throughout, and the next start, whichever a
// user makes, completes or undoes the swap and leaves no new_ or old_ file.
TEST_F(ClientOnCard, KilledSwapLeavesAClientAndTheNextStartFinishesIt) {
  const std::string oldClient = client + "old build";
  const std::string newClient = client + "new build";
  data.SetRelease({{"Support\\updater\\koral70.exe", newClient, "3.5.0"}, {"Readme.txt", "read me\n"}});
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());
  struct Kill {
    const char* after;
    std::vector<std::string> nextStart;
  };
  const Kill kills[] = {{"0", {"/b"}}, {"1", {"/b"}}, {"0", {"/e"}}, {"1", {"/e"}}, {"0", {}}, {"1", {}}};
  int tried = 0, held = 0;
  for (const Kill& kill : kills) {
    for (const char* name : {"koral70.exe", "new_koral70.exe", "old_koral70.exe", "ver.dat"})
      fs::remove(card.Path() + "/" + name);
    InstallClient(oldClient);
    InstallClient(newClient, "new_koral70.exe");
    ++tried;
    const ProcessResult killed =
        Run(server, {"/e"}, "", "new_koral70.exe",
            {{"LD_PRELOAD", KORAL70_KILL_ON_RENAME_LIBRARY}, {"KORAL70_KILL_ON_RENAME", "1"},
             {"KORAL70_KILL_ON_RENAME_MATCH", "koral70.exe"}, {"KORAL70_KILL_ON_RENAME_AFTER", kill.after}});
    EXPECT_EQ(killed.exitCode, -1) << "the kill did not happen";
    const bool runnable = HasRunnableClient(oldClient, newClient);
    EXPECT_TRUE(runnable) << "after the kill, after=" << kill.after;
    if (!runnable) continue;
    // A plain start ends by itself once its input is used up; a /b start
    // that finds the old client back hands the update over to a new one.
    const int exitCode = Run(server, kill.nextStart).exitCode;
    EXPECT_TRUE(exitCode == kUpdateCurrent || exitCode == kUpdateHandedOver) << exitCode;
    // A start that undid the swap updates the client again: let it settle.
    bool finished = false;
    for (int i = 0; i < 100 && !finished; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      finished = !card.Exists("old_koral70.exe") && !card.Exists("new_koral70.exe") &&
                 HasRunnableClient(oldClient, newClient);
    }
    EXPECT_TRUE(finished) << "after=" << kill.after << " next start " << kill.nextStart.size();
    held += finished;
  }
  std::printf("swap kills: tried %d, held %d, failed %d\n", tried, held, tried - held);
}
#endif

// A client from a folder of the system disk takes the log folder beside it,
// never the "logs" at the root of the disk that holds it.
TEST_F(ClientOnCard, LogFolderIsBesideTheProgram) {
  data.SetRelease({{"Support\\updater\\koral70.exe", client, "3.4.0"}});
  InstallClient(client);
  card.Write("logs/today.log", "log of today");
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());
  EXPECT_EQ(Run(server, {"/b"}).exitCode, 0);
  EXPECT_EQ(data.Received("logs/123456789/today.log"), "log of today");
  EXPECT_FALSE(card.Exists("logs"));
}

#ifndef _WIN32  // pipes, folder locks and read-only mounts of POSIX
// What a real card may hold where the client expects plain files: a pipe
// instead of a log, of "ver.dat" or of "pass.ini" is neither read nor waited
// for, and the run goes on.
TEST_F(ClientOnCard, PipesWhereFilesBelongAreSkippedAndTheRunGoesOn) {
  data.SetRelease({{"Readme.txt", "read me\n"}});
  InstallClient(client);
  card.Write("logs/today.log", "log of today");
  ASSERT_EQ(mkfifo((card.Path() + "/logs/pipe.log").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((card.Path() + "/ver.dat").c_str(), 0600), 0);
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());
  ProcessResult result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, kUpdateCurrent) << result.out;
  EXPECT_EQ(card.Read("Readme.txt"), "read me\n");
  EXPECT_EQ(RecordsOf(card.Read("ver.dat")).size(), 1u);
  EXPECT_EQ(data.Received("logs/123456789/today.log"), "log of today");
  EXPECT_TRUE(fs::is_fifo(card.Path() + "/logs/pipe.log"));

  fs::remove(card.Path() + "/pass.ini");
  ASSERT_EQ(mkfifo((card.Path() + "/pass.ini").c_str(), 0600), 0);
  result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, kUpdateNoLogin) << result.out;
  EXPECT_NE(result.out.find("MessageBox[none]: Need User ID and Password"), std::string::npos) << result.out;
}

// A second client on a card that one is updating (a double-click) says so
// and ends without touching the card; a new client started to finish a
// self-update waits for the one that started it instead.
TEST_F(ClientOnCard, ASecondClientLeavesABusyCardAlone) {
  data.SetRelease({{"Readme.txt", "read me\n"}});
  InstallClient(client);
  card.Write("logs/today.log", "log of today");
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());
  const int folder = open(card.Path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(folder, LOCK_EX), 0);  // as the running client holds it
  const std::string busy = "MessageBox[exclamation]: This SD card is already being updated";
  ProcessResult result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, kUpdateCardBusy) << result.out;
  EXPECT_NE(result.out.find(busy), std::string::npos) << result.out;
  EXPECT_EQ(Run(server, {}).exitCode, 0);
  EXPECT_EQ(server.CountRequests("/"), 0u) << "the server was asked";
  EXPECT_EQ(card.Read("logs/today.log"), "log of today");
  EXPECT_FALSE(card.Exists("Readme.txt"));

  std::thread release([folder] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    close(folder);
  });
  result = Run(server, {"/e", "/b"});
  release.join();
  EXPECT_EQ(result.exitCode, kUpdateCurrent) << result.out;
  EXPECT_EQ(card.Read("Readme.txt"), "read me\n");
}

// A write-protected card is told before anything is fetched or sent: its
// logs stay, unsent, for a run that can remove them.
TEST_F(ClientOnCard, AWriteProtectedCardIsToldBeforeAnyTransfer) {
  if (RunProcess({"/usr/bin/unshare", "-m", "/bin/true"}, "", "", {}).exitCode != 0)
    GTEST_SKIP() << "needs unshare -m (root) to mount the card read-only";
  data.SetRelease({{"Readme.txt", "read me\n"}});
  data.SetClient(client + "new build", 341);
  InstallClient(client);
  card.Write("logs/today.log", "log of today");
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());
  const char* readOnly =
      "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" && cd \"$0\" && exec ./koral70.exe /b";
  const ProcessResult result =
      RunProcess({"/usr/bin/unshare", "-m", "/bin/sh", "-c", readOnly, card.Path()}, "", card.Path(),
                 ClientEnvironment(server.BaseUrl()));
  EXPECT_EQ(result.exitCode, kUpdateTransferFailed) << result.out << result.err;
  EXPECT_NE(result.out.find("MessageBox[exclamation]: The SD card is write-protected.\\r\\nSlide the lock switch"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(StatusLogOf(result).rfind("  * The SD card is write-protected.\\r\\n    Slide the lock switch", 0), 0u)
      << result.out;
  EXPECT_EQ(server.CountRequests("/"), 0u);
  EXPECT_EQ(card.Read("logs/today.log"), "log of today");
}

// A card folder that the system does not let this user write to (a card
// mounted for another user) is no matter of the lock switch: the box says
// that the folder cannot be written, and why.
TEST_F(ClientOnCard, AFolderWithoutWritePermissionIsToldWithTheSystemsReason) {
  data.SetRelease({{"Readme.txt", "read me\n"}});
  InstallClient(client);
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());
  // Root may write anywhere: the run is another user's then.
  std::vector<std::string> argv = {card.Path() + "/koral70.exe", "/b"};
  if (geteuid() == 0)
    argv.insert(argv.begin(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  fs::permissions(card.Path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(card.Path() + "/koral70.exe", fs::perms::others_read | fs::perms::others_exec,
                  fs::perm_options::add);
  fs::permissions(card.Path() + "/pass.ini", fs::perms::others_read, fs::perm_options::add);
  const ProcessResult result = RunProcess(argv, "", card.Path(), ClientEnvironment(server.BaseUrl()));
  fs::permissions(card.Path(), fs::perms::owner_all);
  EXPECT_EQ(result.exitCode, kUpdateTransferFailed) << result.out << result.err;
  const std::string box =
      "The SD card's folder cannot be written: Permission denied.\\r\\nThis program is not allowed to write to it";
  EXPECT_NE(result.out.find("MessageBox[exclamation]: " + box), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("lock switch"), std::string::npos) << result.out;
  EXPECT_EQ(StatusLogOf(result).rfind("  * The SD card's folder cannot be written: Permission denied.", 0), 0u);
  EXPECT_EQ(server.CountRequests("/"), 0u);
}

// SIGINT, SIGTERM and SIGHUP stop a running update as closing the window
// does: the transfer ends at once, its temporary goes, the files done stay,
// the log says who stopped it, and the unattended run ends "not finished".
TEST_F(ClientOnCard, SignalsStopTheUpdateSafely) {
  const std::string big(8 << 20, 'b');
  data.SetRelease({{"Support\\updater\\koral70.exe", client, "3.4.0"}, {"Readme.txt", "read me\n"}, {"Data\\maps.bin", big}});
  InstallClient(client);
  std::vector<std::string> arguments = data.Arguments();
  arguments.insert(arguments.end(), {"--fault", "/script/get.php:slow:f=2"});  // 2 MiB a second
  ServerProcess server(arguments);
  ASSERT_TRUE(server.Started());
  // The shell hands its process id on to the client it becomes.
  const std::string pidFile = card.Path() + "/client.pid";
  const char* run = "echo $$ > \"$0\" && exec ./koral70.exe /b";
  for (const auto& [number, line] : {std::pair{SIGINT, "Stopped at your request."},
                                     std::pair{SIGTERM, "Stopped: the system asked the program to end (SIGTERM)."},
                                     std::pair{SIGHUP, "Stopped: the system asked the program to end (SIGHUP)."}}) {
    SCOPED_TRACE(line);
    fs::remove(pidFile);
    const size_t asked = server.CountRequests("f=2");
    ProcessResult result;
    std::thread client([&] {
      result = RunProcess({"/bin/sh", "-c", run, pidFile}, "", card.Path(), ClientEnvironment(server.BaseUrl()));
    });
    const bool transferring = server.WaitForRequests("f=2", asked + 1, 30000);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    const int pid = std::atoi(ReadFile(pidFile).c_str());
    if (transferring && pid > 0) kill(pid, number);
    client.join();
    ASSERT_TRUE(transferring) << result.out;
    EXPECT_EQ(result.exitCode, kUpdateNotFinished) << result.out << result.err;
    EXPECT_NE(StatusLogOf(result).find(line), std::string::npos) << result.out;
    EXPECT_EQ(card.Read("Readme.txt"), "read me\n");
    EXPECT_FALSE(card.Exists("Data/maps.bin"));
    EXPECT_FALSE(card.Exists("ver.dat"));
    for (const auto& item : fs::recursive_directory_iterator(card.Path()))
      EXPECT_NE(item.path().filename().string().rfind(".koral70-", 0), 0u) << item.path();
  }
}
#endif

// A server that keeps sending the running client as the new one: the first
// client hands over once (unattended, so its successor is unattended too),
// and the successor, sent a client equal to itself, stops instead of
// handing over again.
TEST_F(ClientOnCard, AClientSentItselfAgainStopsInsteadOfHandingOverForEver) {
  data.SetRelease({{"Readme.txt", "read me\n"}});
  data.SetClient(client, 341);
  InstallClient(client);
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());
  const ProcessResult result = Run(server, {"/b"});
  EXPECT_EQ(result.exitCode, kUpdateHandedOver) << result.out;
  EXPECT_NE(result.out.find("ShellExecute: open new_koral70.exe /e /b"), std::string::npos) << result.out;
  ASSERT_TRUE(server.WaitForRequests("update.php", 2));
  ASSERT_TRUE(server.WaitForRequests("GET /client/koral70.exe", 2));
#ifndef _WIN32
  // The successor holds the card until it ends. Had it handed over again, a
  // third client would now be waiting for the card, its file beside it.
  const int folder = open(card.Path().c_str(), O_RDONLY | O_DIRECTORY);
  for (int i = 0; i < 200 && flock(folder, LOCK_EX | LOCK_NB) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  close(folder);
#endif
  EXPECT_EQ(server.CountRequests("update.php"), 2u);
  EXPECT_EQ(server.CountRequests("GET /client/koral70.exe"), 2u);
  EXPECT_FALSE(card.Exists("new_koral70.exe"));
  EXPECT_EQ(card.Read("koral70.exe"), client);
}
