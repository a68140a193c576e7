// The client program run from outside any card, as the desktop menu starts
// an installed one in the home folder: it finds the card mounted below a
// media root of the test's own (KORAL70_MEDIA_ROOT), updates it against the
// reference server and leaves the home folder alone.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/update_result.h"
#include "platform/text.h"
#include "tests/support/automation.h"
#include "tests/support/process.h"
#include "tests/support/temp_card.h"
#include "tests/update/card_client.h"
#include "tests/update/server_data.h"

using namespace testing_support;

namespace {

class ClientOffCard : public ::testing::Test {
 protected:
  void SetUp() override {
    base = MakeUniqueFolder(std::filesystem::temp_directory_path().string(), "koral70-off-card-");
    home = base + "/home";
    media = base + "/media";
    WriteFile(home + "/.profile", "");
    LayOutCard(Card("KORAL70"), "old client");
    WriteFile(Card("KORAL70") + "/logs/today.log", "log of today");
  }
  void TearDown() override { RemoveTree(base); }
  std::string Card(const std::string& name) const { return media + "/" + name; }

  // The built client from the home folder, its media root the test's.
  ProcessResult Run(const ServerProcess& server, const std::string& input = "") {
    Environment env = ClientEnvironment(server.BaseUrl());
    env.insert(env.end(), {{"HOME", home}, {"USER", "koral70-tester"}, {"KORAL70_MEDIA_ROOT", media}});
    return RunProcess({ClientBinary(), "/b"}, input, home, env, 120);
  }

  std::string base, home, media;
  ServerData data;
};

}  // namespace

TEST_F(ClientOffCard, UpdatesTheOneMountedCardAndPutsItsClientInPlaceWithoutStartingIt) {
  data.SetRelease({{"Support\\updater\\koral70.exe", "new client", "3.5.0"}, {"Readme.txt", "read me\n"}});
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());

  const ProcessResult result = Run(server);
  EXPECT_EQ(result.exitCode, kUpdateCurrent) << result.out << result.err;
  EXPECT_EQ(result.out.find("ShellExecute"), std::string::npos) << result.out;
  EXPECT_EQ(ReadFile(Card("KORAL70") + "/Readme.txt"), "read me\n");
  EXPECT_EQ(ReadFile(Card("KORAL70") + "/koral70.exe"), "new client");
  EXPECT_EQ(RecordsOf(ReadFile(Card("KORAL70") + "/ver.dat")).size(), 2u);
  EXPECT_FALSE(FileExists(Card("KORAL70") + "/new_koral70.exe"));
  EXPECT_EQ(data.Received("logs/123456789/today.log"), "log of today");
  EXPECT_FALSE(FileExists(Card("KORAL70") + "/logs"));
  EXPECT_EQ(Listing(home), std::vector<std::string>{".profile"});
}

TEST_F(ClientOffCard, AClientUpdateAnswerStartsAndFetchesNothing) {
  data.SetRelease({{"Readme.txt", "read me\n"}});
  data.SetClient("new client", 999);
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());

  const ProcessResult result = Run(server);
  EXPECT_EQ(result.exitCode, kUpdateNoLogin) << result.out;
  EXPECT_NE(result.out.find("MessageBox[exclamation]: The update server asks for a newer version of this program"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(server.CountRequests("GET /client/"), 0u);
  EXPECT_EQ(Listing(Card("KORAL70")), (std::vector<std::string>{"koral70.exe", "logs", "pass.ini"}));
  EXPECT_EQ(Listing(home), std::vector<std::string>{".profile"});
}

TEST_F(ClientOffCard, OfSeveralCardsItUpdatesTheChosenOneAndACancelEndsWithNoCard) {
  data.SetRelease({{"Readme.txt", "read me\n"}});
  LayOutCard(Card("SPARE"), "old client");
  ServerProcess server(data.Arguments());
  ASSERT_TRUE(server.Started());

  ProcessResult result = Run(server, Input({ChooseFolder(WideFromUtf8(Card("SPARE")))}));
  EXPECT_EQ(result.exitCode, kUpdateCurrent) << result.out;
  EXPECT_TRUE(FileExists(Card("SPARE") + "/Readme.txt"));
  EXPECT_FALSE(FileExists(Card("KORAL70") + "/Readme.txt"));

  const size_t queries = server.CountRequests("update.php");
  result = Run(server, "folder-cancel\n");
  EXPECT_EQ(result.exitCode, kUpdateNoCard) << result.out;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(server.CountRequests("update.php"), queries);
  EXPECT_FALSE(FileExists(Card("KORAL70") + "/Readme.txt"));
  EXPECT_EQ(Listing(home), std::vector<std::string>{".profile"});
}
