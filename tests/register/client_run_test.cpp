// The whole change-user-info flow as a user runs it: the client binary,
// headless, from a card folder, against the reference server.
#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "platform/automation.h"
#include "platform/text.h"
#include "res/resource.h"
#include "tests/support/automation.h"
#include "tests/register/register_fixture.h"

using register_tests::MakeServerData;
using register_tests::PrivateTemp;
using register_tests::TestServer;
using testing_support::ClientBinary;
using testing_support::Click;
using testing_support::FileExists;
using testing_support::Input;
using testing_support::RunProcess;
using testing_support::Set;

// The binary runs in the language of this test run (English or Japanese).
TEST(ChangeUserInfoRun, ConsentThenFormRegistersTheCardAndRemovesThePolicyFolder) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'U'));
  temp.Card().Write("pass.ini", "serial=123456789\r\npass=secret\r\n");
  const bool japanese = g_langId == kLangJapanese;
  const testing_support::Environment env = {
      {"KORAL70_UI", "headless"},
      {"KORAL70_UPDATE_URL", server.Process().BaseUrl()},
      {"KORAL70_POLICY_URL", server.Process().BaseUrl()},
      {"TMPDIR", temp.Card().Path() + "/tmp"},
      {"XDG_RUNTIME_DIR", ""},
      {"LANG", japanese ? "ja_JP.UTF-8" : "en_US.UTF-8"},
      {"LC_ALL", ""},
      {"LC_MESSAGES", ""}};
  const std::string input = Input({Click(IDC_CHANGE_USER_INFO),
                                   Click(IDC_POLICY_VIEW),
                                   Click(IDOK),
                                   Set(IDC_REG_NAME, L"Hanako Suzuki"),
                                   Set(IDC_REG_COMPANY, L"鈴木自動車"),
                                   Set(IDC_REG_DISTRIBUTOR, L"Parts Shop"),
                                   Set(IDC_REG_ZIP, L"105-0011"),  // typed with its hyphen, sent whole
                                   Set(IDC_REG_ADDRESS1, L"1-2-3 Shiba"),
                                   Set(IDC_REG_ADDRESS2, L"Minato-ku"),
                                   Set(IDC_REG_PHONE, L"03-1234-5678"),
                                   Set(IDC_REG_FAX, L"03-1234-5679"),
                                   Set(IDC_REG_EMAIL, L"hanako@example.com"),
                                   Click(IDOK)});
  const auto run = RunProcess({ClientBinary()}, input, temp.Card().Path(), env, 60);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, Utf8FromWide(testing_support::OpenedLine(temp.PolicyFolder() + "/privacy_policy.html")) +
                         "\nMessageBox[information]: " +
                         Utf8FromWide(EscapeAutomationText(GetMsg(46))) + "\nStatusLog: " + Utf8FromWide(EscapeAutomationText(GetMsg(40))) +
                         "\n");
  EXPECT_EQ(server.Registration(),
            "name=Hanako Suzuki\ncompany=鈴木自動車\ndistributor=Parts Shop\nzip=1050011\n"
            "address1=1-2-3 Shiba\naddress2=Minato-ku\nphone=03-1234-5678\nfax=03-1234-5679\n"
            "email=hanako@example.com\n" +
                std::string(japanese ? "" : "lang=en\n"));
  EXPECT_FALSE(FileExists(temp.PolicyFolder()));
  EXPECT_EQ(server.Requests(japanese ? "/priv-policy/usr-reg/jp/" : "/priv-policy/usr-reg/en/")
                .size(),
            1u);
}
