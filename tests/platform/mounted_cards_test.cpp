// The search for mounted cards over folders the test lays out itself.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/mounted_cards.h"
#include "platform/text.h"
#include "tests/support/temp_card.h"

using testing_support::TempCard;
namespace fs = std::filesystem;

namespace {
// A folder's path as the search names it: the root as given, the system's separator.
std::wstring In(const TempCard& root, const wchar_t* name) {
  return WideFromUtf8(root.Path()) + static_cast<wchar_t>(fs::path::preferred_separator) + name;
}
}  // namespace

TEST(MountedCards, TheFoldersOfARootThatHoldPassIniAreCardsInNameOrder) {
  TempCard root;
  root.Write("B card/pass.ini", "serial=2\n");
  root.Write("A card/pass.ini", "serial=1\n");
  root.Write("stick/readme.txt", "no card\n");
  root.Write("pass-folder/pass.ini/inner.txt", "a folder named pass.ini\n");
  root.Write("deep/card/pass.ini", "too deep\n");
  root.Write("loose.txt", "a file\n");
  EXPECT_EQ(FindMountedCards({WideFromUtf8(root.Path())}),
            (std::vector<std::wstring>{In(root, L"A card"), In(root, L"B card")}));
}

TEST(MountedCards, ARootThatHoldsPassIniIsACardItselfAndMissingRootsGiveNone) {
  TempCard drive;
  drive.Write("pass.ini", "serial=1\n");
  drive.Write("inner/pass.ini", "serial=2\n");
  const std::wstring missing = WideFromUtf8(drive.Path() + "/no such root");
  EXPECT_EQ(FindMountedCards({missing, WideFromUtf8(drive.Path())}),
            std::vector<std::wstring>{WideFromUtf8(drive.Path())});
  EXPECT_TRUE(FindMountedCards({missing}).empty());
  EXPECT_TRUE(FindMountedCards({}).empty());
}
