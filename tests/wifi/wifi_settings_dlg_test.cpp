// The Wi-Fi settings dialog, driven headless on a card folder: what it shows
// and the files it saves, compared byte for byte with hand-built records.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/catalogue.h"
#include "platform/files.h"
#include "res/resource.h"
#include "tests/support/automation.h"
#include "tests/support/temp_card.h"
#include "tests/wifi/settings_image.h"
#include "wifi/wifi_settings_dlg.h"
#include "wifi/wifi_settings_file.h"

using namespace wifi_test;
using testing_support::Click;
using testing_support::OutputContains;
using testing_support::Set;
using testing_support::SetScript;
using testing_support::Step;
using testing_support::TakeOutput;
using testing_support::TempCard;

namespace {
const char kSerial[] = "A12345678";
const char kSettingsFile[] = "wifi/wifisettings.dat";

class WiFiDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memcpy(dialog.m_szSerial, kSerial, sizeof kSerial - 1);
    std::filesystem::create_directory("wifi");
    TakeOutput();
  }

  std::intptr_t Run(std::vector<Step> steps) {
    SetScript(std::move(steps));
    return dialog.DoModal();
  }

  CWnd* Item(int id) { return dialog.GetDlgItem(id); }
  CString Text(int id) {
    CString text;
    Item(id)->GetWindowText(text);
    return text;
  }
  bool Enabled(int id) { return Item(id)->IsWindowEnabled() != FALSE; }
  bool Checked(int id) { return dialog.IsDlgButtonChecked(id) == BST_CHECKED; }
  wchar_t PasswordChar() { return static_cast<wchar_t>(Item(IDC_PASSWORD)->SendMessage(EM_GETPASSWORDCHAR)); }

  // The saved file, after checking that the loader accepts it.
  std::string Saved() {
    WiFiSettings record;
    EXPECT_EQ(ReadWiFiSettings(fopenUtf8(kSettingsFile, "rb"), record), kReadOk);
    return card.Read(kSettingsFile);
  }

  TempCard card;
  CWiFiSettingsDlg dialog;
};
}  // namespace

TEST_F(WiFiDialog, FirstUseShowsTheDefaultsWithPassPhraseAndAddressDisabled) {
  const std::intptr_t result = Run({[&] {
    CString title;
    dialog.GetWindowText(title);
    EXPECT_EQ(title, CString(GetMsg(10)));
    EXPECT_EQ(Text(1), CString(GetMsg(36)));
    EXPECT_EQ(Text(IDC_WIFI_MAC_LABEL), CString(GetMsg(35)));
    EXPECT_TRUE(Checked(IDC_WIFI_STANDALONE));
    EXPECT_FALSE(Checked(IDC_WIFI_CLIENT));
    EXPECT_TRUE(Checked(IDC_WIFI_OPEN));
    EXPECT_EQ(Text(IDC_WIFI_SSID), CString(L"QXM-X-A12345678"));
    EXPECT_EQ(Text(IDC_PASSWORD), CString());
    EXPECT_FALSE(Enabled(IDC_PASSWORD));
    EXPECT_FALSE(Enabled(IDC_WIFI_SHOW_PASSWORD));
    for (int id : {IDC_WIFI_IP_AUTOMATIC, IDC_WIFI_IP_MANUAL, IDC_WIFI_IP_ADDRESS}) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(Text(IDC_WIFI_MAC_ADDRESS), CString());
  }});
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_FALSE(card.Exists(kSettingsFile));
  EXPECT_TRUE(TakeOutput().empty());
}

TEST_F(WiFiDialog, ClientManualOnAFreshRecordShowsZeroAddressAndSavesTheTypedOne) {
  card.Write("wifi/mac.txt", "00:1A:2B:3C:4D:5E\r\n");
  const std::intptr_t result = Run({
      // The address is shown without the line end that closes it in the file.
      [&] { EXPECT_EQ(Text(IDC_WIFI_MAC_ADDRESS), CString(L"00:1A:2B:3C:4D:5E")); },
      Click(IDC_WIFI_CLIENT),
      [&] {
        EXPECT_TRUE(Checked(IDC_WIFI_CLIENT));
        EXPECT_TRUE(Checked(IDC_WIFI_IP_AUTOMATIC));
        EXPECT_TRUE(Enabled(IDC_WIFI_IP_AUTOMATIC) && Enabled(IDC_WIFI_IP_MANUAL));
        EXPECT_FALSE(Enabled(IDC_WIFI_IP_ADDRESS));
        EXPECT_EQ(Text(IDC_WIFI_SSID), CString());
      },
      Click(IDC_WIFI_IP_MANUAL),
      [&] {
        EXPECT_TRUE(Enabled(IDC_WIFI_IP_ADDRESS));
        EXPECT_EQ(Text(IDC_WIFI_IP_ADDRESS), CString(L"0.0.0.0"));
      },
      Set(IDC_WIFI_IP_ADDRESS, L"192.168.0.10"),
      Set(IDC_WIFI_SSID, L"Office"),
      Click(IDOK),
  });
  EXPECT_EQ(result, IDOK);
  std::string expected = DefaultRecord(kSerial);
  PutU32(expected, kMode, 1);
  PutText(expected, kClientSsid, "Office");
  PutU32(expected, kClientIpMode, 1);
  PutU32(expected, kClientIpAddress, 0xC0A8000A);
  EXPECT_EQ(Saved(), FileOf(expected));
  EXPECT_EQ(Saved().substr(kClientIpAddress, 4), std::string("\x0A\x00\xA8\xC0", 4));
}

TEST_F(WiFiDialog, TypedTextsSurviveModeSwitchesBothWaysWithWpa) {
  const std::intptr_t result = Run({
      Click(IDC_WIFI_WPA),
      Set(IDC_WIFI_SSID, L"Home"),
      Set(IDC_PASSWORD, L"secret-one"),
      Click(IDC_WIFI_CLIENT),
      [&] {
        EXPECT_EQ(Text(IDC_WIFI_SSID), CString());
        EXPECT_TRUE(Checked(IDC_WIFI_OPEN));
        EXPECT_FALSE(Enabled(IDC_PASSWORD));
      },
      Click(IDC_WIFI_WPA2),
      Set(IDC_WIFI_SSID, L"Office"),
      Set(IDC_PASSWORD, L"secret-two"),
      Click(IDC_WIFI_STANDALONE),
      [&] {
        EXPECT_EQ(Text(IDC_WIFI_SSID), CString(L"Home"));
        EXPECT_EQ(Text(IDC_PASSWORD), CString(L"secret-one"));
        EXPECT_TRUE(Checked(IDC_WIFI_WPA));
        EXPECT_TRUE(Enabled(IDC_PASSWORD));
      },
      Click(IDC_WIFI_CLIENT),
      [&] {
        EXPECT_EQ(Text(IDC_WIFI_SSID), CString(L"Office"));
        EXPECT_EQ(Text(IDC_PASSWORD), CString(L"secret-two"));
        EXPECT_TRUE(Checked(IDC_WIFI_WPA2));
      },
      Click(IDOK),
  });
  EXPECT_EQ(result, IDOK);
  // "Home" overwrites only its own bytes and terminator of the default name.
  std::string expected = DefaultRecord(kSerial);
  PutU32(expected, kMode, 1);
  PutText(expected, kStandaloneSsid, "Home");
  PutText(expected, kStandalonePassword, "secret-one");
  PutU32(expected, kStandaloneSecurity, 1);
  PutText(expected, kClientSsid, "Office");
  PutText(expected, kClientPassword, "secret-two");
  PutU32(expected, kClientSecurity, 2);
  EXPECT_EQ(Saved(), FileOf(expected));
}

TEST_F(WiFiDialog, OpenSecurityKeepsTheStoredPassPhrase) {
  std::string stored = ZeroRecord();
  PutText(stored, kStandaloneSsid, "Shop");
  PutText(stored, kStandalonePassword, "keep-me");
  PutText(stored, kClientPassword, "client-pw");
  card.Write(kSettingsFile, FileOf(stored));
  const std::intptr_t result = Run({
      [&] {
        EXPECT_EQ(Text(IDC_PASSWORD), CString(L"keep-me"));  // shown, but disabled
        EXPECT_FALSE(Enabled(IDC_PASSWORD));
      },
      Click(IDC_WIFI_CLIENT),
      [&] { EXPECT_EQ(Text(IDC_PASSWORD), CString(L"client-pw")); },
      Click(IDC_WIFI_STANDALONE),
      Click(IDC_WIFI_WPA),
      Set(IDC_PASSWORD, L"typed-then-dropped"),
      Click(IDC_WIFI_OPEN),
      Click(IDOK),
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(Saved(), FileOf(stored));
}

TEST_F(WiFiDialog, SecurityThreeShowsAsWpa2AndAutomaticSavesAddressZero) {
  std::string stored = ZeroRecord();
  PutU32(stored, kMode, 1);
  PutText(stored, kClientSsid, "Net");
  PutText(stored, kClientPassword, "pw");
  PutU32(stored, kClientSecurity, 3);
  PutU32(stored, kClientIpMode, 1);
  PutU32(stored, kClientIpAddress, 0x01020304);
  PutU32(stored, kReserved, 0x5A5A0001);  // carried through
  card.Write(kSettingsFile, FileOf(stored));
  const std::intptr_t result = Run({
      [&] {
        EXPECT_TRUE(Checked(IDC_WIFI_WPA2));
        EXPECT_TRUE(Enabled(IDC_PASSWORD));
        EXPECT_TRUE(Checked(IDC_WIFI_IP_MANUAL));
        EXPECT_EQ(Text(IDC_WIFI_IP_ADDRESS), CString(L"1.2.3.4"));
      },
      Click(IDC_WIFI_IP_AUTOMATIC),
      [&] {
        EXPECT_FALSE(Enabled(IDC_WIFI_IP_ADDRESS));
        EXPECT_EQ(Text(IDC_WIFI_IP_ADDRESS), CString(L"1.2.3.4"));
      },
      Click(IDOK),
  });
  EXPECT_EQ(result, IDOK);
  PutU32(stored, kClientSecurity, 2);
  PutU32(stored, kClientIpMode, 0);
  PutU32(stored, kClientIpAddress, 0);
  EXPECT_EQ(Saved(), FileOf(stored));
}

TEST_F(WiFiDialog, EmptyPassPhraseWithWpaIsRefusedAndTheFileIsUnchanged) {
  const std::string before = FileOf(DefaultRecord("OLD"));
  card.Write(kSettingsFile, before);
  const std::intptr_t result = Run({
      Click(IDC_WIFI_WPA),
      Set(IDC_PASSWORD, L""),
      Click(IDOK),
      [&] {
        EXPECT_TRUE(OutputContains(L"MessageBox[none]: Error: password is empty"));
        EXPECT_FALSE(dialog.IsEnding());
      },
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(card.Read(kSettingsFile), before);
}

TEST_F(WiFiDialog, ShowPasswordUnmasksAndRestoresTheOriginalMask) {
  wchar_t original = 0;
  Run({
      [&] {
        original = PasswordChar();
        EXPECT_NE(original, 0);
      },
      Click(IDC_WIFI_WPA),
      Click(IDC_WIFI_SHOW_PASSWORD),
      [&] {
        EXPECT_TRUE(Checked(IDC_WIFI_SHOW_PASSWORD));
        EXPECT_EQ(PasswordChar(), 0);
      },
      Click(IDC_WIFI_SHOW_PASSWORD),
      [&] { EXPECT_EQ(PasswordChar(), original); },
  });
}

TEST_F(WiFiDialog, InvalidInputIsRefusedWithItsMessageAndNothingIsWritten) {
  auto refused = [&](const wchar_t* message) -> Step {
    return [&, message] {
      const auto lines = TakeOutput();
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_EQ(lines[0], std::wstring(L"MessageBox[none]: ") + message);
      EXPECT_FALSE(dialog.IsEnding());
      EXPECT_FALSE(card.Exists(kSettingsFile));
    };
  };
  const wchar_t* latin1Only = L"Error: Network name and password can only contain Latin-1 characters";
  const std::intptr_t result = Run({
      Set(IDC_WIFI_SSID, L""),
      Click(IDOK),
      refused(L"Error: Network name is empty"),
      Set(IDC_WIFI_SSID, L"\u6771\u4EAC"),
      Click(IDOK),
      refused(latin1Only),
      Set(IDC_WIFI_SSID, L"Caf\u00E9"),
      Click(IDC_WIFI_WPA),
      Set(IDC_PASSWORD, L"pass\u20AC"),
      Click(IDOK),
      refused(latin1Only),
      Set(IDC_PASSWORD, L"pass"),
      Click(IDC_WIFI_CLIENT),
      Set(IDC_WIFI_SSID, L"Office"),
      Click(IDC_WIFI_IP_MANUAL),
      Set(IDC_WIFI_IP_ADDRESS, L"1.2.3.300"),
      Click(IDOK),
      refused(L"Invalid IP address"),
      Set(IDC_WIFI_IP_ADDRESS, L"1.2.3"),
      Click(IDOK),
      refused(L"Invalid IP address"),
      Set(IDC_WIFI_IP_ADDRESS, L"1.2.3.44"),
      Click(IDOK),
  });
  EXPECT_EQ(result, IDOK);
  std::string expected = DefaultRecord(kSerial);
  PutU32(expected, kMode, 1);
  PutText(expected, kStandaloneSsid, "Caf\xE9");
  PutText(expected, kStandalonePassword, "pass");
  PutU32(expected, kStandaloneSecurity, 1);
  PutText(expected, kClientSsid, "Office");
  PutU32(expected, kClientIpMode, 1);
  PutU32(expected, kClientIpAddress, 0x0102032C);
  EXPECT_EQ(Saved(), FileOf(expected));
}

TEST_F(WiFiDialog, ModeSwitchWithTextTheRecordCannotHoldStaysInTheMode) {
  Run({
      Set(IDC_WIFI_SSID, L"\u6771\u4EAC"),
      Click(IDC_WIFI_CLIENT),
      [&] {
        EXPECT_TRUE(OutputContains(L"only contain Latin-1 characters"));
        EXPECT_TRUE(Checked(IDC_WIFI_STANDALONE));
        EXPECT_FALSE(Checked(IDC_WIFI_CLIENT));
        EXPECT_FALSE(Enabled(IDC_WIFI_IP_AUTOMATIC));
        EXPECT_EQ(Text(IDC_WIFI_SSID), CString(L"\u6771\u4EAC"));
      },
  });
}

TEST_F(WiFiDialog, ASaveThatCannotWriteReportsItAndStaysOpen) {
  std::filesystem::remove("wifi");
  const std::intptr_t result = Run({
      Click(IDOK),
      [&] {
        EXPECT_TRUE(OutputContains(L"MessageBox[none]: Error saving settings"));
        EXPECT_FALSE(dialog.IsEnding());
      },
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_FALSE(card.Exists("wifi"));
}

TEST_F(WiFiDialog, ResetShowsTheDefaultsAndWritesNothing) {
  std::string stored = ZeroRecord();
  PutU32(stored, kMode, 1);
  PutText(stored, kClientSsid, "Net");
  PutU32(stored, kClientSecurity, 1);
  PutText(stored, kClientPassword, "pw");
  const std::string before = FileOf(stored);
  card.Write(kSettingsFile, before);
  const std::intptr_t result = Run({
      Click(IDC_WIFI_RESET),
      [&] {
        EXPECT_TRUE(Checked(IDC_WIFI_STANDALONE));
        EXPECT_TRUE(Checked(IDC_WIFI_OPEN));
        EXPECT_EQ(Text(IDC_WIFI_SSID), CString(L"QXM-X-A12345678"));
        EXPECT_EQ(Text(IDC_PASSWORD), CString());
        EXPECT_FALSE(Enabled(IDC_WIFI_IP_ADDRESS));
      },
      L"exit",
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(card.Read(kSettingsFile), before);
}
