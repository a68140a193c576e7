// The client killed in the middle of an update, again and again: the card
// must always hold whole files (old or new), a well-formed "ver.dat", a
// runnable client, and one further run must make it equal to the release.
// Kills come from an injector that ends the client at a chosen rename, the
// moment when a file is put into place.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "tests/support/process.h"
#include "tests/support/temp_card.h"
#include "tests/update/server_data.h"
#include "update/update_file_entry.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {
constexpr const char* kOnOwnDrive =
    "mount --bind \"$0\" \"$0\" && cd \"$0\" && exec env LD_PRELOAD=\"$KORAL70_PRELOAD\" ./koral70.exe /b";
constexpr int kFiles = 100;
constexpr int kChanged = 8;  // files whose content the new release changes
const std::vector<std::string> kStylesheetCopies = {"Reports/Engine/table.css", "Reports/Body/Doors/table.css",
                                                    "AppData/VQA/Reports/table.css"};

std::string FileName(int i) { return "Data\\D" + std::to_string(i % 10) + "\\file" + std::to_string(i) + ".txt"; }

std::vector<ReleaseFile> Release(const std::string& client, const std::string& version) {
  std::vector<ReleaseFile> files = {{"Support\\updater\\koral70.exe", client, "3.4.0"},
                                    {"Reports\\table.css", "td { color: " + version + " }\n"}};
  for (int i = 0; i < kFiles; ++i)
    files.push_back({FileName(i), (i < kChanged ? version : std::string("same")) + std::string(2000 + i, 'x')});
  return files;
}

struct Figures {
  int tried = 0, killed = 0, held = 0, failed = 0;
};

class KilledUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    if (RunProcess({"/usr/bin/unshare", "-m", "/bin/true"}, "", "", {}).exitCode != 0)
      GTEST_SKIP() << "needs unshare -m (root) for a card of its own";
    client = ReadFile(ClientBinary());
    oldRelease = Release(client, "old");
    newRelease = Release(client, "new");
    // The old card: the old release, fetched by the client itself, with
    // stylesheet copies in the report folders.
    card.Write("pass.ini", "serial=123456789\npass=secret\n");
    card.Write("koral70.exe", client);
    fs::permissions(card.Path() + "/koral70.exe", fs::perms::owner_all, fs::perm_options::add);
    for (const auto& copy : kStylesheetCopies) card.Write(copy, "old copy");
    data.SetRelease(oldRelease);
    server = std::make_unique<ServerProcess>(data.Arguments());
    ASSERT_TRUE(server->Started());
    ASSERT_EQ(Run({}).exitCode, 0);
    oldVersionFile = card.Read("ver.dat");
    Snapshot(card.Path(), oldCard.Path());
    // The new card, for comparison.
    data.SetRelease(newRelease);
    ASSERT_EQ(Run({}).exitCode, 0);
    newVersionFile = card.Read("ver.dat");
    ASSERT_NE(newVersionFile, oldVersionFile);
  }

  static void Snapshot(const std::string& from, const std::string& to) {
    for (const auto& item : fs::directory_iterator(to)) fs::remove_all(item.path());
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }

  ProcessResult Run(const Environment& kill) {
    Environment env = {{"KORAL70_UI", "headless"}, {"KORAL70_UPDATE_URL", server->BaseUrl()},
                       {"http_proxy", ""}, {"LANG", "C.UTF-8"}};
    env.insert(env.end(), kill.begin(), kill.end());
    if (!kill.empty()) env.push_back({"KORAL70_PRELOAD", KORAL70_KILL_ON_RENAME_LIBRARY});
    return RunProcess({"/usr/bin/unshare", "-m", "/bin/sh", "-c", kOnOwnDrive, card.Path()}, "", card.Path(), env, 60);
  }

  // What must hold after a kill; returns the number of broken promises.
  int CheckInterrupted() {
    int broken = 0;
    auto expect = [&](bool ok, const std::string& what) {
      EXPECT_TRUE(ok) << what;
      broken += !ok;
    };
    for (size_t i = 0; i < newRelease.size(); ++i) {
      const std::string path = CardPath(newRelease[i].name);
      const std::string bytes = card.Read(path);
      expect(bytes == oldRelease[i].content || bytes == newRelease[i].content, path + " is neither old nor new");
    }
    const std::string versionFile = card.Read("ver.dat");
    expect(versionFile == oldVersionFile || versionFile == newVersionFile, "ver.dat is neither old nor new");
    expect(card.Read("koral70.exe") == client, "no runnable koral70.exe");
    for (const auto& copy : kStylesheetCopies) {
      const std::string bytes = card.Read(copy);
      expect(bytes == "old copy" || bytes == oldRelease[1].content || bytes == newRelease[1].content,
             copy + " is cut short");
    }
    return broken;
  }

  bool CardHasTheNewFiles() {
    for (const auto& file : newRelease)
      if (card.Read(CardPath(file.name)) != file.content) return false;
    return true;
  }

  // One further uninterrupted run makes the card the release. When the kill
  // came after the last file was placed, that run fetches nothing and so
  // leaves "ver.dat" as it is: the old records still name every file, and a
  // file judged by its recorded digest is fetched again, which rewrites it.
  int CheckHealed(bool hadTheNewFiles) {
    int broken = 0;
    auto expect = [&](bool ok, const std::string& what) {
      EXPECT_TRUE(ok) << what;
      broken += !ok;
    };
    expect(Run({}).exitCode == 0, "the healing run failed");
    for (const auto& file : newRelease)
      expect(card.Read(CardPath(file.name)) == file.content, file.name + " not healed");
    const std::string versionFile = card.Read("ver.dat");
    expect(versionFile == newVersionFile || (hadTheNewFiles && versionFile == oldVersionFile), "ver.dat not healed");
    for (const auto& copy : kStylesheetCopies)
      expect(card.Read(copy) == newRelease[1].content, copy + " not healed");
    for (const auto& item : fs::recursive_directory_iterator(card.Path()))
      expect(item.path().filename().string().rfind(".koral70-", 0) != 0, "temporary left: " + item.path().string());
    return broken;
  }

  void KillAndHeal(const Environment& kill, Figures& figures) {
    Snapshot(oldCard.Path(), card.Path());
    ++figures.tried;
    if (Run(kill).exitCode != 0) ++figures.killed;
    int broken = CheckInterrupted();
    const bool hadTheNewFiles = CardHasTheNewFiles();
    broken += CheckHealed(hadTheNewFiles);
    ++(broken == 0 ? figures.held : figures.failed);
  }

  static void Report(const char* what, const Figures& figures) {
    std::printf("%s: tried %d, killed %d, held %d, failed %d\n", what, figures.tried, figures.killed, figures.held,
                figures.failed);
  }

  TempCard oldCard;
  TempCard card;  // the current directory
  ServerData data;
  std::unique_ptr<ServerProcess> server;
  std::string client, oldVersionFile, newVersionFile;
  std::vector<ReleaseFile> oldRelease, newRelease;
};
}  // namespace

// One test: preparing the old and the new card is the slow part.
TEST_F(KilledUpdate, KillsNeverBreakTheCardAndTheNextRunHealsIt) {
  // A pass makes one rename per fetched file, the stylesheet copies and the
  // version file: about fourteen.
  std::mt19937 random(std::random_device{}());
  Figures figures;
  for (int i = 0; i < 30; ++i) {
    const int nth = std::uniform_int_distribution<int>(1, kChanged + 6)(random);
    const bool after = random() % 2;
    SCOPED_TRACE("rename " + std::to_string(nth) + (after ? " after" : " before"));
    KillAndHeal({{"KORAL70_KILL_ON_RENAME", std::to_string(nth)}, {"KORAL70_KILL_ON_RENAME_AFTER", after ? "1" : "0"}},
                figures);
  }
  Report("random kills", figures);
  EXPECT_EQ(figures.failed, 0);

  // The fetched "Reports\table.css" and its three copies, each killed just
  // before and just after its rename.
  Figures stylesheet;
  for (int nth = 1; nth <= 4; ++nth)
    for (const char* after : {"0", "1"}) {
      SCOPED_TRACE("stylesheet rename " + std::to_string(nth) + " after=" + after);
      KillAndHeal({{"KORAL70_KILL_ON_RENAME", std::to_string(nth)},
                   {"KORAL70_KILL_ON_RENAME_MATCH", "table.css"},
                   {"KORAL70_KILL_ON_RENAME_AFTER", after}},
                  stylesheet);
    }
  Report("stylesheet kills", stylesheet);
  EXPECT_EQ(stylesheet.killed, stylesheet.tried);
  EXPECT_EQ(stylesheet.failed, 0);
}
