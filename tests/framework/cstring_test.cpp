#include <gtest/gtest.h>

#include "framework/cstring.h"
#include "tests/support/cstring_printer.h"

TEST(CStringFormat, FollowsTheWindowsWideConvention) {
  CString s;
  s.Format(L"%s|%S|%d|%lu|%02X|%%", L"wide", "narrow", -7, 4000000000UL, 0x0A);
  EXPECT_EQ(s, L"wide|narrow|-7|4000000000|0A|%");
  const CString name(L"KORAL70");
  s.Format(L"%s  ｱｯﾌﾟﾃﾞｰﾄ ( v %s )", name, L"3.4.0");
  EXPECT_EQ(s, L"KORAL70  ｱｯﾌﾟﾃﾞｰﾄ ( v 3.4.0 )");
}

TEST(CStringFormat, LongOutputGrowsTheBuffer) {
  CString s;
  const std::wstring big(5000, L'x');
  s.Format(L"[%s]", big.c_str());
  EXPECT_EQ(s.GetLength(), 5002);
}
