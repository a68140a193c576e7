#include <gtest/gtest.h>

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
