#include "tests/update/on_exfat_card.h"

#include <algorithm>
#include <filesystem>

#include "tests/update/card_client.h"

namespace fs = std::filesystem;

namespace testing_support {

void OnExfatCard::SetUp() {
  const std::string why = WhyNoExfatCards();
  if (!why.empty()) GTEST_SKIP() << why;
  m_folder = MakeUniqueFolder(fs::temp_directory_path().string(), "koral70-exfat-");
  ASSERT_FALSE(m_folder.empty());
  // Room for the client three times over: the card's own, the release's
  // copy of it and that copy's temporary while it is fetched.
  const int sizeMiB = 32 + 3 * static_cast<int>(client.size() >> 20);
  const std::string image = ImagePath("card");
  ASSERT_EQ(FormatExfatImage(image, sizeMiB), "");
  card = Mount(image);
  ASSERT_NE(card, nullptr);
  // Names on the card are case-insensitive, as on the tool's card.
  WriteFile(card->Root() + "/a.txt", "one file");
  ASSERT_EQ(ReadFile(card->Root() + "/A.TXT"), "one file") << "the card is case-sensitive";
  fs::remove(card->Root() + "/A.TXT");
  ASSERT_FALSE(FileExists(card->Root() + "/a.txt"));
}

void OnExfatCard::TearDown() {
  // The server first: nothing may still use a card when it is taken out.
  server.reset();
  while (!m_cards.empty()) Eject(m_cards.back().get());
  if (!m_folder.empty()) RemoveTree(m_folder);
}

bool OnExfatCard::StartServer() {
  server = std::make_unique<ServerProcess>(data.Arguments());
  EXPECT_TRUE(server->Started());
  return server->Started();
}

std::string OnExfatCard::ImagePath(const std::string& name) const { return m_folder + "/" + name + ".img"; }

ExfatCard* OnExfatCard::Mount(const std::string& image) {
  auto mounted = std::make_unique<ExfatCard>(image);
  if (!mounted->Problem().empty()) {
    ADD_FAILURE() << "cannot mount " << image << ": " << mounted->Problem();
    return nullptr;  // the card is ejected as it goes
  }
  m_cards.push_back(std::move(mounted));
  return m_cards.back().get();
}

bool OnExfatCard::Eject(ExfatCard* taken) {
  const FsckReport report = taken->Eject();
  EXPECT_TRUE(report.Clean()) << taken->Image() << " when taken out: " << report.text;
  m_cards.erase(std::find_if(m_cards.begin(), m_cards.end(), [&](const auto& held) { return held.get() == taken; }));
  return report.Clean();
}

ProcessResult OnExfatCard::RunClient(const ExfatCard& on, const Environment& extra,
                                     const std::vector<std::string>& wrapper) const {
  std::vector<std::string> argv = wrapper;
  argv.insert(argv.end(), {"./koral70.exe", "/b"});
  Environment env = ClientEnvironment(server->BaseUrl());
  env.insert(env.end(), extra.begin(), extra.end());
  return RunProcess(argv, "", on.Root(), env, 120);
}

}  // namespace testing_support
