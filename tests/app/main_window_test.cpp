// The main window as it opens, in the language of the test's environment
// (ctest runs this binary once in English and once in Japanese).
#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "app/main_dialog.h"
#include "framework/window.h"
#include "tests/support/automation.h"
#include "tests/support/temp_card.h"

using testing_support::SetScript;
using testing_support::TempCard;

namespace {
CString TextOf(CWnd& window, int id) {
  CString text;
  window.GetDlgItem(id)->GetWindowText(text);
  return text;
}

CString Title(CWnd& window) {
  CString text;
  window.GetWindowText(text);
  return text;
}
}  // namespace

TEST(MainWindow, OpensWithCaptionsCredentialsAndHiddenProgress) {
  TempCard card;
  card.Write("pass.ini", "serial=987654321\r\npass=hunter2\r\n");
  CHalyardDlg dialog;
  bool checked = false;
  SetScript({[&] {
    const bool ja = g_langId == kLangJapanese;
    EXPECT_EQ(Title(dialog), ja ? L"KORAL70  ｱｯﾌﾟﾃﾞｰﾄ ( v 3.4.0 )"
                                : L"KORAL70 software update ( v 3.4.0 )");
    EXPECT_EQ(TextOf(dialog, 1000), ja ? L"アップデートチェック" : L"Start update");
    EXPECT_EQ(TextOf(dialog, 1), GetMsg(2));
    EXPECT_EQ(TextOf(dialog, 1030), GetMsg(4));
    EXPECT_EQ(TextOf(dialog, 1031), GetMsg(5));
    EXPECT_EQ(TextOf(dialog, 1032), GetMsg(6));
    EXPECT_EQ(TextOf(dialog, 1006), GetMsg(7));
    EXPECT_EQ(TextOf(dialog, 1007), GetMsg(8));
    EXPECT_EQ(TextOf(dialog, 1010), GetMsg(9));
    EXPECT_EQ(TextOf(dialog, 1012), GetMsg(10));
    EXPECT_EQ(TextOf(dialog, 1002), L"987654321");
    EXPECT_EQ(TextOf(dialog, 1003), L"hunter2");
    EXPECT_EQ(TextOf(dialog, 1001), L"");
    EXPECT_EQ(dialog.IsDlgButtonChecked(1006), static_cast<UINT>(BST_CHECKED));
    for (int id : {1012, 1008, 1009, 1045, 1046})
      EXPECT_FALSE(dialog.GetDlgItem(id)->IsWindowVisible()) << id;
    for (int id : {1, 1000, 1001, 1002, 1003, 1006, 1007, 1010, 1030, 1031, 1032})
      EXPECT_TRUE(dialog.GetDlgItem(id)->IsWindowVisible()) << id;
    EXPECT_EQ(afx::FindWindowState(dialog.GetSafeHwnd())->focus,
              dialog.GetDlgItem(1000)->GetSafeHwnd());
    EXPECT_EQ(afx::FindWindowState(dialog.GetDlgItem(1003)->GetSafeHwnd())->passwordChar,
              afx::kDefaultPasswordChar);
    checked = true;
  }});
  dialog.DoModal();
  EXPECT_TRUE(checked);
}

TEST(MainWindow, OpensEmptyWithoutACredentialsFile) {
  TempCard card;
  CHalyardDlg dialog;
  SetScript({[&] {
    EXPECT_EQ(TextOf(dialog, 1002), L"");
    EXPECT_EQ(TextOf(dialog, 1003), L"");
    EXPECT_EQ(dialog.IsDlgButtonChecked(1006), static_cast<UINT>(BST_CHECKED));
  }});
  dialog.DoModal();
}

TEST(MainWindow, ExitAndEscEndIt) {
  TempCard card;
  {
    CHalyardDlg dialog;
    SetScript({L"click 1"});
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  CHalyardDlg dialog;
  SetScript({L"exit"});
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}
