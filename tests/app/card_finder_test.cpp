// Where the program works: the start-folder decision and the search for a
// card, over folders the test lays out (never the machine's real media).
#include <gtest/gtest.h>

#include <filesystem>

#include "app/card_finder.h"
#include "core/catalogue.h"
#include "platform/system.h"
#include "platform/text.h"
#include "tests/support/automation.h"
#include "tests/support/temp_card.h"

using testing_support::ChooseFolder;
using testing_support::SetScript;
using testing_support::TempCard;
namespace fs = std::filesystem;

namespace {
std::wstring Wide(const TempCard& folder) { return WideFromUtf8(folder.Path()); }
std::wstring In(const TempCard& root, const wchar_t* name) {
  return Wide(root) + static_cast<wchar_t>(fs::path::preferred_separator) + name;
}

// Runs the search with a script for the folder dialog; asked tells whether
// the dialog read it.
bool Find(const TempCard& root, std::wstring answer, std::wstring& folder, bool& asked) {
  asked = false;
  SetScript({[&asked] { asked = true; }, answer});
  return FindCardFolder({Wide(root)}, folder);
}
}  // namespace

TEST(CardFinder, AFolderHoldingTheProgramOrPassIniIsACard) {
  TempCard folder;
  EXPECT_FALSE(IsCardFolder(Wide(folder)));
  folder.Write("pass.ini", "");
  EXPECT_TRUE(IsCardFolder(Wide(folder)));
  wchar_t program[1024] = {};
  GetModuleFileNameW(nullptr, program, 1024);
  EXPECT_TRUE(IsCardFolder(fs::path(program).parent_path().wstring()));
}

TEST(CardFinder, TheOneMountedCardIsTakenWithoutAsking) {
  TempCard root;
  root.Write("KORAL70/pass.ini", "");
  root.Write("STICK/notes.txt", "");
  std::wstring folder;
  bool asked = false;
  EXPECT_TRUE(Find(root, L"folder-cancel", folder, asked));
  EXPECT_FALSE(asked);
  EXPECT_EQ(folder, In(root, L"KORAL70"));
}

TEST(CardFinder, NoneOrSeveralCardsAskForTheFolderAndACancelGivesNone) {
  TempCard root;
  std::wstring folder;
  bool asked = false;
  EXPECT_TRUE(Find(root, ChooseFolder(L"/somewhere/card"), folder, asked));
  EXPECT_TRUE(asked);
  EXPECT_EQ(folder, L"/somewhere/card");
  root.Write("A/pass.ini", "");
  root.Write("B/pass.ini", "");
  EXPECT_TRUE(Find(root, ChooseFolder(In(root, L"B")), folder, asked));
  EXPECT_TRUE(asked);
  EXPECT_EQ(folder, In(root, L"B"));
  folder.clear();
  EXPECT_FALSE(Find(root, L"folder-cancel", folder, asked));
  EXPECT_TRUE(asked);
  EXPECT_TRUE(folder.empty());
}

// The folder dialog says which case it is: no card where it looked, or the
// cards found, a line each.
TEST(CardFinder, ThePromptTellsNoCardOrListsTheCardsFound) {
  if (g_langId == kLangJapanese) GTEST_SKIP() << "the English texts";
  EXPECT_EQ(CardChooserPrompt({}, {L"/media/taro", L"/run/media/taro"}),
            L"No KORAL70 SD card was found in /media/taro, /run/media/taro; choose the card's folder.\r\nFolder with pass.ini:");
  EXPECT_EQ(CardChooserPrompt({}, {}), L"No KORAL70 SD card was found; choose the card's folder.\r\nFolder with pass.ini:");
  EXPECT_EQ(CardChooserPrompt({L"/media/taro/A", L"/media/taro/B"}, {L"/media/taro"}),
            L"Several KORAL70 SD cards were found; choose the one to update:\r\n    /media/taro/A\r\n    /media/taro/B\r\n"
            L"Folder with pass.ini:");
}
