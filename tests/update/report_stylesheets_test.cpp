#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_card.h"
#include "update/report_stylesheets.h"

using testing_support::TempCard;
namespace fs = std::filesystem;

#ifndef _WIN32  // names that differ only in case are one file on Windows
TEST(ReportStylesheets, ReplacesOnlyExistingCopiesBelowReports) {
  TempCard card;
  card.Write("Reports/table.css", "new");
  card.Write("Reports/Engine/Detail/table.css", "old");
  card.Write("Reports/Engine/Sibling/report.html", "r");
  card.Write("Reports/Body/TABLE.CSS", "old upper");
  card.Write("Reports/Body/Table.css", "old mixed");
  card.Write("Other/table.css", "outside");
  const fs::path before = fs::current_path();

  PlaceReportStylesheets();

  EXPECT_EQ(fs::current_path(), before);
  EXPECT_EQ(card.Read("Reports/table.css"), "new");
  EXPECT_EQ(card.Read("Reports/Engine/Detail/table.css"), "new");
  EXPECT_FALSE(card.Exists("Reports/Engine/Sibling/table.css"));
  EXPECT_FALSE(card.Exists("Reports/Engine/table.css"));
  EXPECT_EQ(card.Read("Reports/Body/TABLE.CSS"), "old upper");
  EXPECT_EQ(card.Read("Reports/Body/Table.css"), "old mixed");
  EXPECT_EQ(card.Read("Other/table.css"), "outside");
  EXPECT_EQ(card.Read("AppData/VQA/Reports/table.css"), "new");

  // A second run gives the same card.
  card.Write("Reports/table.css", "newer");
  PlaceReportStylesheets();
  EXPECT_EQ(card.Read("Reports/Engine/Detail/table.css"), "newer");
  EXPECT_EQ(card.Read("AppData/VQA/Reports/table.css"), "newer");
}
#endif

TEST(ReportStylesheets, WithoutReportsTheAppDataFoldersStillAppear) {
  TempCard card;
  PlaceReportStylesheets();
  EXPECT_TRUE(fs::is_directory("AppData/VQA/Reports"));
  EXPECT_FALSE(card.Exists("AppData/VQA/Reports/table.css"));
  EXPECT_FALSE(card.Exists("Reports"));
}

#ifndef _WIN32  // POSIX links: on Windows a link is a reparse point, refused by the same code
TEST(ReportStylesheets, LinkedFoldersAreNotFollowed) {
  TempCard card;
  card.Write("Reports/table.css", "new");
  card.Write("Elsewhere/table.css", "not the card's");
  fs::create_directory_symlink(fs::absolute("Elsewhere"), "Reports/Linked");
  PlaceReportStylesheets();
  EXPECT_EQ(card.Read("Elsewhere/table.css"), "not the card's");
}
#endif

TEST(ReportStylesheets, RefreshReportsWhetherItRestoredTheFolder) {
  TempCard card;
  card.Write("Reports/table.css", "new");
  const std::wstring root = fs::absolute("Reports").wstring();
  EXPECT_EQ(RefreshStylesheetsIn(root.c_str(), L"."), 0);
  EXPECT_EQ(RefreshStylesheetsIn(root.c_str(), L"missing"), 0);
  EXPECT_NE(RefreshStylesheetsIn(root.c_str(), L"Reports"), 0);
  EXPECT_EQ(card.Read("Reports/table.css"), "new");
}
