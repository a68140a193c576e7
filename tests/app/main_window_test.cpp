// The main window as it opens, in the language of the test's environment
// (ctest runs this binary once in English and once in Japanese).
#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "app/main_dialog.h"
#include "framework/window.h"
#include "res/resource.h"
#include "tests/support/automation.h"
#include "tests/support/temp_card.h"

using testing_support::Click;
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
    EXPECT_EQ(TextOf(dialog, IDC_START_UPDATE), ja ? L"アップデートチェック" : L"Start update");
    EXPECT_EQ(TextOf(dialog, 1), GetMsg(2));
    EXPECT_EQ(TextOf(dialog, IDC_STATUS_LABEL), GetMsg(4));
    EXPECT_EQ(TextOf(dialog, IDC_SERIAL_LABEL), GetMsg(5));
    EXPECT_EQ(TextOf(dialog, IDC_PASSWORD_LABEL), GetMsg(6));
    EXPECT_EQ(TextOf(dialog, IDC_UPDATE_NEWS), GetMsg(7));
    EXPECT_EQ(TextOf(dialog, IDC_CHANGE_USER_INFO), GetMsg(8));
    EXPECT_EQ(TextOf(dialog, IDC_DOWNLOAD_MANUAL), GetMsg(9));
    EXPECT_EQ(TextOf(dialog, IDC_WIFI_SETTINGS), GetMsg(10));
    EXPECT_EQ(TextOf(dialog, IDC_SERIAL), L"987654321");
    EXPECT_EQ(TextOf(dialog, IDC_PASSWORD), L"hunter2");
    EXPECT_EQ(TextOf(dialog, IDC_STATUS_LOG), L"");
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_UPDATE_NEWS), static_cast<UINT>(BST_CHECKED));
    for (int id : {IDC_WIFI_SETTINGS, IDC_COUNT_BAR, IDC_COUNT_TEXT, IDC_FILE_BAR, IDC_FILE_TEXT})
      EXPECT_FALSE(dialog.GetDlgItem(id)->IsWindowVisible()) << id;
    for (int id : {IDOK, IDC_START_UPDATE, IDC_STATUS_LOG, IDC_SERIAL, IDC_PASSWORD, IDC_UPDATE_NEWS,
                   IDC_CHANGE_USER_INFO, IDC_DOWNLOAD_MANUAL, IDC_STATUS_LABEL, IDC_SERIAL_LABEL,
                   IDC_PASSWORD_LABEL})
      EXPECT_TRUE(dialog.GetDlgItem(id)->IsWindowVisible()) << id;
    EXPECT_EQ(afx::FindWindowState(dialog.GetSafeHwnd())->focus,
              dialog.GetDlgItem(IDC_START_UPDATE)->GetSafeHwnd());
    EXPECT_EQ(afx::FindWindowState(dialog.GetDlgItem(IDC_PASSWORD)->GetSafeHwnd())->passwordChar,
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
    EXPECT_EQ(TextOf(dialog, IDC_SERIAL), L"");
    EXPECT_EQ(TextOf(dialog, IDC_PASSWORD), L"");
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_UPDATE_NEWS), static_cast<UINT>(BST_CHECKED));
  }});
  dialog.DoModal();
}

TEST(MainWindow, ExitAndEscEndIt) {
  TempCard card;
  {
    CHalyardDlg dialog;
    SetScript({Click(IDOK)});
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  CHalyardDlg dialog;
  SetScript({L"exit"});
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}
