// The main window's Wi-Fi command: its button stays hidden, and the command
// opens the dialog with the card's serial number.
#include <gtest/gtest.h>

#include "app/main_dialog.h"
#include "res/resource.h"
#include "tests/support/automation.h"
#include "tests/support/temp_card.h"

using testing_support::SetScript;
using testing_support::TempCard;

TEST(MainWindowWiFi, HiddenCommandOpensTheDialogWithTheCardSerial) {
  TempCard card;
  card.Write("pass.ini", "serial=B98765432\npass=secret\n");
  CHalyardDlg window;
  bool opened = false;
  SetScript({
      [&] {
        EXPECT_FALSE(window.GetDlgItem(IDC_WIFI_SETTINGS)->IsWindowVisible());
        window.SendMessage(WM_COMMAND, IDC_WIFI_SETTINGS, 0);
      },
      [&] {
        CDialog* wifi = afx::ActiveDialog();
        ASSERT_NE(wifi, &window);
        CString ssid;
        wifi->GetDlgItem(IDC_WIFI_SSID)->GetWindowText(ssid);
        EXPECT_EQ(ssid, CString(L"QXM-X-B98765432"));
        opened = true;
      },
      L"exit",
      [&] { EXPECT_EQ(afx::ActiveDialog(), &window); },
  });
  window.DoModal();
  EXPECT_TRUE(opened);
  EXPECT_FALSE(card.Exists("wifi"));
}
