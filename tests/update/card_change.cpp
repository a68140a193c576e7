#include "tests/update/card_change.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/support/temp_card.h"
#include "tests/update/card_client.h"

namespace fs = std::filesystem;

namespace testing_support {
namespace {
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 100;
constexpr int kChanged = 8;  // files whose content the new release changes
constexpr size_t kStylesheet = 1;  // the index of "Reports\table.css" in a release
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

// Makes the folder to hold what the folder from holds.
void Snapshot(const std::string& from, const std::string& to) {
  for (const auto& item : fs::directory_iterator(to)) fs::remove_all(item.path());
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

std::string CardFile(const std::string& root, const std::string& name) { return ReadFile(root + "/" + CardPath(name)); }
}  // namespace

int ExpectNoProblems(const std::vector<std::string>& problems) {
  for (const std::string& problem : problems) ADD_FAILURE() << problem;
  return static_cast<int>(problems.size());
}

void Report(const char* what, const Figures& figures) {
  std::printf("%s: tried %d, killed %d, held %d, failed %d\n", what, figures.tried, figures.killed, figures.held,
              figures.failed);
}

CardChange::CardChange(const std::string& client)
    : m_client(client),
      m_oldRelease(Release(client, "old")),
      m_newRelease(Release(client, "new")),
      m_oldCard(MakeUniqueFolder(fs::temp_directory_path().string(), "koral70-old-card-")) {}

CardChange::~CardChange() { RemoveTree(m_oldCard); }

int CardChange::RenamesPerPass() { return kChanged + 6; }

bool CardChange::Prepare(const std::string& root, ServerData& data, const Run& run) {
  LayOutCard(root, m_client);
  for (const auto& copy : kStylesheetCopies) WriteFile(root + "/" + copy, "old copy");
  data.SetRelease(m_oldRelease);
  const int toOld = run();
  EXPECT_EQ(toOld, 0) << "the run that makes the card old";
  if (toOld != 0) return false;
  m_oldVersionFile = ReadFile(root + "/ver.dat");
  Snapshot(root, m_oldCard);

  data.SetRelease(m_newRelease);
  const auto start = Clock::now();
  const int toNew = run();
  m_passDuration = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  EXPECT_EQ(toNew, 0) << "the run that makes the card new";
  m_newVersionFile = ReadFile(root + "/ver.dat");
  EXPECT_NE(m_newVersionFile, m_oldVersionFile);
  return toNew == 0 && m_newVersionFile != m_oldVersionFile;
}

void CardChange::RestoreOld(const std::string& root) const { Snapshot(m_oldCard, root); }

std::vector<std::string> CardChange::InterruptedProblems(const std::string& root) const {
  std::vector<std::string> problems;
  for (size_t i = 0; i < m_newRelease.size(); ++i) {
    const std::string bytes = CardFile(root, m_newRelease[i].name);
    if (bytes != m_oldRelease[i].content && bytes != m_newRelease[i].content)
      problems.push_back(m_newRelease[i].name + " is neither old nor new");
  }
  const std::string versionFile = ReadFile(root + "/ver.dat");
  if (versionFile != m_oldVersionFile && versionFile != m_newVersionFile)
    problems.push_back("ver.dat is neither old nor new");
  if (ReadFile(root + "/koral70.exe") != m_client) problems.push_back("no runnable koral70.exe");
  for (const auto& copy : kStylesheetCopies) {
    const std::string bytes = ReadFile(root + "/" + copy);
    if (bytes != "old copy" && bytes != m_oldRelease[kStylesheet].content &&
        bytes != m_newRelease[kStylesheet].content)
      problems.push_back(copy + " is cut short");
  }
  return problems;
}

bool CardChange::HasTheNewFiles(const std::string& root) const {
  for (const auto& file : m_newRelease)
    if (CardFile(root, file.name) != file.content) return false;
  return true;
}

std::vector<std::string> CardChange::CurrentProblems(const std::string& root, int exitCode,
                                                     bool hadTheNewFiles) const {
  std::vector<std::string> problems;
  if (exitCode != 0) problems.push_back("the run ended with " + std::to_string(exitCode));
  for (const auto& file : m_newRelease)
    if (CardFile(root, file.name) != file.content) problems.push_back(file.name + " is not the new one");
  const std::string versionFile = ReadFile(root + "/ver.dat");
  if (versionFile != m_newVersionFile && !(hadTheNewFiles && versionFile == m_oldVersionFile))
    problems.push_back("ver.dat is not the new one");
  for (const auto& copy : kStylesheetCopies)
    if (ReadFile(root + "/" + copy) != m_newRelease[kStylesheet].content) problems.push_back(copy + " is not the new one");
  for (const auto& item : fs::recursive_directory_iterator(root))
    if (item.path().filename().string().rfind(".koral70-", 0) == 0)
      problems.push_back("temporary left: " + item.path().string());
  return problems;
}

void CardChange::InterruptAndHeal(const std::string& root, const Run& interrupted, const Run& healing,
                                  Figures& figures) const {
  RestoreOld(root);
  ++figures.tried;
  if (interrupted() != 0) ++figures.killed;
  int broken = ExpectNoProblems(InterruptedProblems(root));
  const bool hadTheNewFiles = HasTheNewFiles(root);
  broken += ExpectNoProblems(CurrentProblems(root, healing(), hadTheNewFiles));
  ++(broken == 0 ? figures.held : figures.failed);
}

}  // namespace testing_support
