// The change-user-info flow against the reference server: consent, the
// update query on a session of its own, and the form sent on that session.
#include <gtest/gtest.h>

#include <cstring>

#include "core/catalogue.h"
#include "app/main_dialog.h"
#include "app/status_channel.h"
#include "net/http_session.h"
#include "platform/automation.h"
#include "platform/system.h"
#include "register/change_user_info.h"
#include "register/reg_dialog.h"
#include "res/resource.h"
#include "tests/register/register_fixture.h"
#include "tests/support/automation.h"

using register_tests::FillForm;
using register_tests::FormValues;
using register_tests::MakeServerData;
using register_tests::PrivateTemp;
using register_tests::TestServer;
using testing_support::Check;
using testing_support::Click;
using testing_support::FileExists;
using testing_support::SetScript;
using testing_support::Step;
using testing_support::TakeOutput;
using testing_support::WriteFile;

namespace {
std::wstring Box(const wchar_t* icon, int id) {
  return std::wstring(L"MessageBox[") + icon + L"]: " + EscapeAutomationText(GetMsg(id));
}

// Consent, then the given steps in whatever dialog follows.
std::vector<Step> Consent(std::vector<std::wstring> then) {
  std::vector<Step> steps = {Click(IDC_POLICY_VIEW), [] { TakeOutput(); }, Click(IDOK)};
  steps.insert(steps.end(), then.begin(), then.end());
  return steps;
}

std::vector<std::wstring> FilledAndSent(const FormValues& values = FormValues()) {
  std::vector<std::wstring> commands = FillForm(values);
  commands.push_back(Click(IDOK));
  return commands;
}

// The window's reporter without a window: the flow's dialogs are the real
// ones, and the log it sets is kept.
class CFlowReporter : public CWindowReporter {
 public:
  CFlowReporter() : CWindowReporter(nullptr) {}
  void SetStatus(const CString& text) override { log = text; }
  CString log;
};

// Runs the flow for the test card; true when it reached the connecting step.
bool RunFlow(const std::vector<Step>& steps, const char* password = register_tests::kPassword) {
  CFlowReporter reporter;
  SetScript(steps);
  RunChangeUserInfo(L"123456789", CString(std::wstring(password, password + std::strlen(password))),
                    true, reporter);
  return reporter.log == GetMsg(Msg::kConnecting);
}
}  // namespace

TEST(ChangeUserInfo, UnregisteredCardIsRegisteredWithEveryFieldDecoded) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'U'));
  FormValues values;
  values.name = L"山田 太郎";
  values.zip = L"";
  values.address1 = L"\u3012";
  EXPECT_TRUE(RunFlow(Consent(FilledAndSent(values))));
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"information", 46)});

  const bool english = g_langId != kLangJapanese;
  EXPECT_EQ(server.Registration(),
            "name=山田 太郎\ncompany=Garage Ltd\ndistributor=Parts Shop\nzip=\n"
            "address1=\u3012\naddress2=Minato-ku\nphone=03-1234-5678\nfax=03-1234-5679\n"
            "email=taro@example.com\n" +
                std::string(english ? "lang=en\n" : ""));
  // On the wire: hex of the UTF-8 bytes with their terminator, in order.
  ASSERT_TRUE(server.WaitForRequest("/script/register.php"));
  const auto posts = server.Requests("/script/register.php");
  ASSERT_EQ(posts.size(), 1u);
  const std::string& line = posts[0];
  EXPECT_NE(line.find("name=E5B1B1E794B020E5A4AAE9838E00&company=476172616765204C746400"
                      "&distributor=50617274732053686F7000&zip=00&address1=E3809200&"),
            std::string::npos)
      << line;
  EXPECT_EQ(line.find("&lang=en") != std::string::npos, english) << line;
  // The query before it carried the card and the news flag, and no batch.
  ASSERT_TRUE(server.WaitForRequest("/script/update.php"));
  const auto queries = server.Requests("/script/update.php");
  ASSERT_EQ(queries.size(), 1u);
  EXPECT_NE(queries[0].find("serial=123456789&pwd=secret&notify=1&clientversion=340"),
            std::string::npos)
      << queries[0];
}

TEST(ChangeUserInfo, RegisteredCardOpensTheFormToo) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'L'));
  EXPECT_TRUE(RunFlow(Consent(FilledAndSent())));
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"information", 46)});
  EXPECT_NE(server.Registration().find("email=taro@example.com\n"), std::string::npos);
  // Nothing was downloaded: the card holds what the test put there.
  EXPECT_TRUE(server.Requests("/script/get.php").empty());
  EXPECT_FALSE(FileExists(temp.Card().Path() + "/ver.dat"));
}

TEST(ChangeUserInfo, LogoMissingOnThePolicySiteStillLetsTheUserRegister) {
  PrivateTemp temp;
  const std::string logo = std::string(GetUserDefaultUILanguage() == kLangJapanese
                                           ? "/priv-policy/usr-reg/jp/"
                                           : "/priv-policy/usr-reg/en/") +
                           "qx-logo/qx-logo_QX_0.6.png";
  TestServer server(MakeServerData(temp.Card().Path(), 'U'), {"--fault", logo + ":status404"});
  std::vector<std::wstring> opened;
  std::vector<Step> steps = {Click(IDC_POLICY_VIEW), [&] { opened = TakeOutput(); }, Click(IDOK)};
  for (const std::wstring& command : FilledAndSent()) steps.push_back(command);
  EXPECT_TRUE(RunFlow(steps));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].rfind(L"ShellExecute: open ", 0), 0u);
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"information", 46)});
  EXPECT_NE(server.Registration().find("email=taro@example.com\n"), std::string::npos);
}

TEST(ChangeUserInfo, DenyingConsentStopsBeforeAnyRequest) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'U'));
  TakeOutput();
  EXPECT_FALSE(RunFlow({Click(IDC_POLICY_VIEW), Click(IDCANCEL)}));
  const auto output = TakeOutput();
  ASSERT_EQ(output.size(), 2u);
  EXPECT_EQ(output[1], Box(L"exclamation", 45));
  EXPECT_TRUE(server.Requests("/script/update.php").empty());
  EXPECT_TRUE(server.Requests("/script/register.php").empty());

  // Closing the consent dialog without a view is a denial too.
  EXPECT_FALSE(RunFlow({L"exit"}));
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"exclamation", 45)});
}

TEST(ChangeUserInfo, TooOldClientIsToldToUpdateFirst) {
  PrivateTemp temp;
  const std::string data = MakeServerData(temp.Card().Path(), 'U');
  WriteFile(data + "/client/koral70.exe", "new client");
  WriteFile(data + "/client/min_version.txt", "341\n");
  TestServer server(data);
  // A form that opened would be cancelled and show nothing.
  EXPECT_TRUE(RunFlow(Consent({Click(IDCANCEL)})));
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"none", 70)});
  EXPECT_TRUE(server.Requests("/script/register.php").empty());
}

TEST(ChangeUserInfo, WrongPasswordAndBadAnswers) {
  PrivateTemp temp;
  {
    TestServer server(MakeServerData(temp.Card().Path(), 'U'));
    EXPECT_TRUE(RunFlow(Consent({Click(IDCANCEL)}), "wrong"));
    EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"none", 49)});
  }
  {
    TestServer server(MakeServerData(temp.Card().Path(), 'U'),
                      {"--fault", "/script/update.php:short1"});
    EXPECT_TRUE(RunFlow(Consent({Click(IDCANCEL)})));
    EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"none", 42)});
  }
  {
    TestServer server(MakeServerData(temp.Card().Path(), 'U'),
                      {"--fault", "/script/update.php:status500"});
    EXPECT_TRUE(RunFlow(Consent({Click(IDCANCEL)})));
    EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"exclamation", 42)});
  }
  {
    TestServer server(MakeServerData(temp.Card().Path(), 'U'),
                      {"--fault", "/script/update.php:drop"});
    EXPECT_TRUE(RunFlow(Consent({Click(IDCANCEL)})));
    EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"none", 41)});
  }
}

TEST(ChangeUserInfo, CancellingTheFormEndsWithoutAMessageOrARequest) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'U'));
  std::vector<std::wstring> filledThenCancelled = FillForm(FormValues());
  filledThenCancelled.push_back(Click(IDCANCEL));
  EXPECT_TRUE(RunFlow(Consent(filledThenCancelled)));
  EXPECT_TRUE(TakeOutput().empty());
  EXPECT_TRUE(server.Requests("/script/register.php").empty());
  EXPECT_EQ(server.Registration(), "");
}

TEST(ChangeUserInfo, FormNotAcceptedIsReported) {
  PrivateTemp temp;
  for (const char* kind : {"drop", "short1", "empty", "status500"}) {
    TestServer server(MakeServerData(temp.Card().Path(), 'U'),
                      {"--fault", std::string("/script/register.php:") + kind});
    EXPECT_TRUE(RunFlow(Consent(FilledAndSent())));
    EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"exclamation", 44)}) << kind;
  }
}

TEST(ChangeUserInfo, AQueryOrFormThatTheNetworkFailedIsTriedAgainSilently) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'U'),
                    {"--fault", "/script/update.php:reset:1", "--fault", "/script/register.php:status503:2"});
  EXPECT_TRUE(RunFlow(Consent(FilledAndSent())));  // the log keeps its one line
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"information", 46)});
  EXPECT_TRUE(server.WaitForRequest("/script/register.php", 3));
  EXPECT_EQ(server.Requests("/script/update.php").size(), 2u);
}

// The server knows the card only from the cookie of the query before the
// form: a session without that query is refused ("Error", code -3).
TEST(ChangeUserInfo, FormOnAFreshSessionIsRefusedByTheServer) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'U'));
  CHttpSession session;
  std::int32_t result = 0;
  CRegDialog form;
  form.m_pSession = &session;
  form.m_pResult = &result;
  std::vector<Step> steps;
  for (const auto& command : FilledAndSent()) steps.push_back(command);
  SetScript(steps);
  EXPECT_EQ(form.DoModal(), IDOK);
  EXPECT_EQ(result, kRegistrationRefused);
  EXPECT_EQ(server.Registration(), "");
}

TEST(ChangeUserInfo, MainWindowNeedsCredentialsAndShowsConnecting) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'U'));
  {
    CHalyardDlg window;
    SetScript({Click(IDC_CHANGE_USER_INFO)});
    TakeOutput();
    window.DoModal();
    EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"none", 39)});
  }
  temp.Card().Write("pass.ini", "serial=123456789\npass=secret\n");
  CHalyardDlg window;
  std::vector<Step> steps = {Check(IDC_UPDATE_NEWS, false), Click(IDC_CHANGE_USER_INFO)};
  for (auto& step : Consent(FilledAndSent())) steps.push_back(step);
  SetScript(steps);
  window.DoModal();
  EXPECT_EQ(window.GetStatusText(), GetMsg(40));
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"information", 46)});
  ASSERT_TRUE(server.WaitForRequest("/script/update.php"));
  const auto queries = server.Requests("/script/update.php");
  ASSERT_EQ(queries.size(), 1u);
  EXPECT_NE(queries[0].find("serial=123456789&pwd=secret&clientversion=340"), std::string::npos)
      << queries[0];
}
