#include <gtest/gtest.h>

#include <cwchar>

#include "core/catalogue.h"
#include "core/catalogue_tables.h"

namespace {
int Count(const MSGENTRY* table) {
  int n = 0;
  while (table[n].nId != 0) ++n;
  return n;
}
}  // namespace

TEST(Catalogue, BothTablesHoldTheSameIdsInTheSameOrder) {
  ASSERT_EQ(Count(g_msgEnglish), Count(g_msgJapanese));
  for (int i = 0; g_msgEnglish[i].nId != 0; ++i) EXPECT_EQ(g_msgEnglish[i].nId, g_msgJapanese[i].nId);
  EXPECT_STREQ(g_msgEnglish[Count(g_msgEnglish)].pszText, L"");
}

TEST(Catalogue, TrickyTextsAreExact) {
  EXPECT_STREQ(FindMsg(g_msgJapanese, 1), L"%s  ｱｯﾌﾟﾃﾞｰﾄ ( v %s )");
  EXPECT_STREQ(FindMsg(g_msgEnglish, 1), L"%s software update ( v %s )");
  const wchar_t* policy = FindMsg(g_msgEnglish, 76);
  EXPECT_EQ(std::wcsncmp(policy, L"\n\rPlease review", 15), 0);
  EXPECT_NE(std::wcsstr(policy, L"button.\n\rThen, accept"), nullptr);
  EXPECT_STREQ(FindMsg(g_msgJapanese, 70),
               L"新しいアプリケーションに変わっています\n\"アップデートチェック\"を行ってから\n"
               L"\"登録内容変更\"へお進みください");
  EXPECT_STREQ(FindMsg(g_msgEnglish, 50),
               L"Your software is up to date.\r\nNo update is required at this time.");
  EXPECT_STREQ(FindMsg(g_msgJapanese, 61), L" 失敗\r\n\r\n");
  EXPECT_STREQ(FindMsg(g_msgEnglish, 52), L"Downloading client udate... \r\n");
  EXPECT_STREQ(FindMsg(g_msgJapanese, 16), L"  〒");
}

TEST(Catalogue, UntranslatedTextsAreEnglishInBothTables) {
  for (int id : {38, 52, 53, 54, 59, 60, 62, 63, 66, 68, 79, 27, 28, 29})
    EXPECT_STREQ(FindMsg(g_msgJapanese, id), FindMsg(g_msgEnglish, id)) << id;
}

TEST(Catalogue, MissingIdsGiveTheEmptyText) {
  for (int id : {0, -1, 1000, 43, 100000}) {
    ASSERT_NE(GetMsg(id), nullptr);
    EXPECT_STREQ(GetMsg(id), L"") << id;
  }
}

TEST(Catalogue, TheDisplayLanguageChoosesTheTable) {
  EXPECT_EQ(g_pMessages, g_langId == kLangJapanese ? g_msgJapanese : g_msgEnglish);
}
