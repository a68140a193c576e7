// The consent dialog against the reference server's policy site: the page
// and logo downloads, every failure message, and Accept and Deny.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>

#include "core/catalogue.h"
#include "core/product.h"
#include "platform/automation.h"
#include "platform/system.h"
#include "platform/text.h"
#include "register/agree_dialog.h"
#include "register/policy_files.h"
#include "res/resource.h"
#include "tests/register/register_fixture.h"
#include "tests/support/automation.h"
#include "tests/support/environment.h"

using register_tests::ControlEnabled;
using register_tests::ControlText;
using register_tests::MakeServerData;
using register_tests::PrivateTemp;
using register_tests::TestServer;
using testing_support::Click;
using testing_support::FileExists;
using testing_support::OpenedLine;
using testing_support::SetScript;
using testing_support::TakeOutput;

namespace {
constexpr const char* kEnPage = "/priv-policy/usr-reg/en/";
constexpr const char* kEnLogo = "/priv-policy/usr-reg/en/qx-logo/qx-logo_QX_0.6.png";

const char* PagePath() {
  return GetUserDefaultUILanguage() == kLangJapanese ? "/priv-policy/usr-reg/jp/" : kEnPage;
}

// Opens the dialog, presses View once, then Deny; returns what was printed
// and whether Accept was enabled after the view.
struct ViewOutcome {
  std::vector<std::wstring> output;
  bool acceptEnabled = false;
};
ViewOutcome ViewOnce() {
  CAgreeDialog dialog;
  ViewOutcome outcome;
  TakeOutput();
  SetScript({Click(IDC_POLICY_VIEW), [&] {
               outcome.acceptEnabled = ControlEnabled(IDOK);
               outcome.output = TakeOutput();
             },
             Click(IDCANCEL)});
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  return outcome;
}

std::wstring Box(const wchar_t* icon, const std::wstring& text) {
  return std::wstring(L"MessageBox[") + icon + L"]: " + EscapeAutomationText(text);
}

std::string Fault(const std::string& path, const std::string& kind) {
  return path + ":" + kind;
}
}  // namespace

TEST(Consent, OpensWithReadOnlyInstructionsAndAcceptDisabled) {
  CAgreeDialog dialog;
  bool checked = false;
  SetScript({[&] {
               CString title;
               dialog.GetWindowText(title);
               EXPECT_EQ(title, GetMsg(72));
               EXPECT_EQ(ControlText(IDC_POLICY_INSTRUCTIONS), GetMsg(76));
               EXPECT_TRUE(afx::FindWindowState(dialog.GetDlgItem(IDC_POLICY_INSTRUCTIONS)->GetSafeHwnd())->readOnly);
               EXPECT_EQ(ControlText(1), GetMsg(73));
               EXPECT_EQ(ControlText(IDC_POLICY_VIEW), GetMsg(74));
               EXPECT_EQ(ControlText(2), GetMsg(75));
               EXPECT_FALSE(ControlEnabled(1));
               checked = true;
             },
             // Accept (and Enter) before a view does nothing.
             Click(IDOK), [&] {
               EXPECT_FALSE(dialog.IsEnding());
               dialog.SendMessage(WM_COMMAND, IDOK, 0);
               EXPECT_FALSE(dialog.IsEnding());
             },
             Click(IDCANCEL)});
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(checked);
}

TEST(Consent, ViewOpensThePageOfTheUsersLanguageAndAcceptRemovesTheFolder) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'L'));
  CAgreeDialog dialog;
  TakeOutput();
  SetScript({Click(IDC_POLICY_VIEW), [&] {
               EXPECT_TRUE(ControlEnabled(IDOK));
               EXPECT_TRUE(FileExists(temp.PolicyFolder() + "/privacy_policy.html"));
               EXPECT_TRUE(FileExists(temp.PolicyFolder() + "/qx-logo/qx-logo_QX_0.6.png"));
             },
             Click(IDOK)});
  EXPECT_EQ(dialog.DoModal(), IDOK);
  const auto output = TakeOutput();
  ASSERT_EQ(output.size(), 1u);
  EXPECT_EQ(output[0], OpenedLine(temp.PolicyFolder() + "/privacy_policy.html"));
  EXPECT_FALSE(FileExists(temp.PolicyFolder()));
  ASSERT_TRUE(server.WaitForRequest(std::string(PagePath()) + "qx-logo/qx-logo_QX_0.6.png"));
  EXPECT_EQ(server.Requests(PagePath()).size(), 1u);
  EXPECT_EQ(server.Requests(std::string(PagePath()) + "qx-logo/qx-logo_QX_0.6.png").size(), 1u);
}

TEST(Consent, DenyAfterAViewKeepsBothFiles) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'L'));
  const ViewOutcome outcome = ViewOnce();
  EXPECT_TRUE(outcome.acceptEnabled);
  EXPECT_TRUE(FileExists(temp.PolicyFolder() + "/privacy_policy.html"));
  EXPECT_TRUE(FileExists(temp.PolicyFolder() + "/qx-logo/qx-logo_QX_0.6.png"));
}

TEST(Consent, OnlyTheJapaneseLanguageGetsTheJapanesePage) {
#ifdef _WIN32
  GTEST_SKIP() << "on Windows the language is the user's and cannot change within a run";
#endif
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'L'));
  const std::string saved = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
  for (const char* locale : {"ja_JP.UTF-8", "ko_KR.UTF-8", "zh_CN.UTF-8"}) {
    setenv("LC_ALL", locale, 1);
    EXPECT_TRUE(ViewOnce().acceptEnabled) << locale;
  }
  setenv("LC_ALL", saved.c_str(), 1);
  ASSERT_TRUE(server.WaitForRequest(kEnLogo, 2));
  EXPECT_EQ(server.Requests("/priv-policy/usr-reg/jp/").size(), 1u);
  EXPECT_EQ(server.Requests("/priv-policy/usr-reg/jp/qx-logo/qx-logo_QX_0.6.png").size(), 1u);
  EXPECT_EQ(server.Requests(kEnPage).size(), 2u);
}

TEST(Consent, BothTransfersFailing) {
  PrivateTemp temp;
  setenv("KORAL70_POLICY_URL", "http://127.0.0.1:9", 1);
  LoadServerAddresses();
  const ViewOutcome outcome = ViewOnce();
  unsetenv("KORAL70_POLICY_URL");
  LoadServerAddresses();
  EXPECT_FALSE(outcome.acceptEnabled);
  EXPECT_EQ(outcome.output, std::vector<std::wstring>{Box(L"error", GetMsg(41))});
}

TEST(Consent, PageFailingWithTheLogoFineShowsStatusZero) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'L'),
                    {"--fault", Fault(PagePath(), "drop")});
  const ViewOutcome outcome = ViewOnce();
  EXPECT_FALSE(outcome.acceptEnabled);
  EXPECT_EQ(outcome.output, std::vector<std::wstring>{Box(L"error", L"HTTP Status Code: 0")});
}

TEST(Consent, PageStatusOtherThan200) {
  PrivateTemp temp;
  {
    TestServer server(MakeServerData(temp.Card().Path(), 'L'),
                      {"--fault", Fault(PagePath(), "status404")});
    const ViewOutcome outcome = ViewOnce();
    EXPECT_FALSE(outcome.acceptEnabled);
    EXPECT_EQ(outcome.output, std::vector<std::wstring>{Box(L"error", GetMsg(78))});
  }
  {
    TestServer server(MakeServerData(temp.Card().Path(), 'L'),
                      {"--fault", Fault(PagePath(), "status500")});
    const ViewOutcome outcome = ViewOnce();
    EXPECT_FALSE(outcome.acceptEnabled);
    EXPECT_EQ(outcome.output, std::vector<std::wstring>{Box(L"error", L"HTTP Status Code: 500")});
  }
  EXPECT_FALSE(FileExists(temp.PolicyFolder()));
}

TEST(Consent, PageWithoutItsLogoIsNotShown) {
  PrivateTemp temp;
  for (const char* kind : {"drop", "truncate"}) {
    const std::string logo = std::string(PagePath()) + "qx-logo/qx-logo_QX_0.6.png";
    TestServer server(MakeServerData(temp.Card().Path(), 'L'), {"--fault", Fault(logo, kind)});
    const ViewOutcome outcome = ViewOnce();
    EXPECT_FALSE(outcome.acceptEnabled) << kind;
    EXPECT_TRUE(outcome.output.empty()) << kind;
    EXPECT_FALSE(FileExists(temp.PolicyFolder() + "/privacy_policy.html")) << kind;
  }
}

// The logo's status is not looked at: an error page in its place still lets
// the user read the policy and consent.
TEST(Consent, LogoAnsweringWithAnErrorStatusStillOpensThePage) {
  PrivateTemp temp;
  for (const char* kind : {"nologo", "status404"}) {
    const std::string logo = std::string(PagePath()) + "qx-logo/qx-logo_QX_0.6.png";
    TestServer server(MakeServerData(temp.Card().Path(), 'L'),
                      {"--fault", Fault(kind == std::string("nologo") ? PagePath() : logo, kind)});
    const ViewOutcome outcome = ViewOnce();
    EXPECT_TRUE(outcome.acceptEnabled) << kind;
    ASSERT_EQ(outcome.output.size(), 1u) << kind;
    EXPECT_EQ(outcome.output[0].rfind(L"ShellExecute: open ", 0), 0u) << kind;
    EXPECT_TRUE(FileExists(temp.PolicyFolder() + "/privacy_policy.html")) << kind;
    EXPECT_TRUE(FileExists(temp.PolicyFolder() + "/qx-logo/qx-logo_QX_0.6.png")) << kind;
  }
}

TEST(Consent, PageWithoutTheMarkerIsReportedAndItsFilesStay) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'L'),
                    {"--fault", Fault(PagePath(), "nomarker")});
  const ViewOutcome outcome = ViewOnce();
  EXPECT_FALSE(outcome.acceptEnabled);
  EXPECT_EQ(outcome.output, std::vector<std::wstring>{Box(L"error", GetMsg(77))});
  EXPECT_TRUE(FileExists(temp.PolicyFolder() + "/privacy_policy.html"));
  EXPECT_TRUE(FileExists(temp.PolicyFolder() + "/qx-logo/qx-logo_QX_0.6.png"));
}

// A page cut off in transit is never offered for consent.
TEST(Consent, TruncatedPageIsNotTheirPolicy) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'L'),
                    {"--fault", Fault(PagePath(), "truncate")});
  const ViewOutcome outcome = ViewOnce();
  EXPECT_FALSE(outcome.acceptEnabled);
  EXPECT_EQ(outcome.output, std::vector<std::wstring>{Box(L"error", GetMsg(77))});
  EXPECT_FALSE(FileExists(temp.PolicyFolder() + "/privacy_policy.html"));
}

TEST(Consent, AFailedViewAfterASuccessfulOneKeepsAcceptEnabled) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'L'));
  CAgreeDialog dialog;
  SetScript({Click(IDC_POLICY_VIEW), [&] {
               EXPECT_TRUE(ControlEnabled(IDOK));
               setenv("KORAL70_POLICY_URL", "http://127.0.0.1:9", 1);
               LoadServerAddresses();
               TakeOutput();
             },
             Click(IDC_POLICY_VIEW), [&] {
               EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{Box(L"error", GetMsg(41))});
               EXPECT_TRUE(ControlEnabled(IDOK));
             },
             Click(IDOK)});
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_FALSE(FileExists(temp.PolicyFolder()));
}

#ifndef _WIN32  // the desktop's opener is xdg-open, found on PATH
TEST(Consent, NoBrowserShowsWhereThePageIsAndAllowsAcceptAndAStayingOpenerDoesNotHoldTheDialog) {
  PrivateTemp temp;
  TestServer server(MakeServerData(temp.Card().Path(), 'L'));
  const std::string bin = temp.Card().Path() + "/bin";
  CString saved;
  saved.Format(GetMsg(87), WideFromUtf8(temp.PolicyFolder() + "/privacy_policy.html").c_str(), GetMsg(73));
  testing_support::DesktopShell desktop(bin);  // no xdg-open there yet
  const ViewOutcome unopened = ViewOnce();
  EXPECT_EQ(unopened.output, std::vector<std::wstring>{Box(L"exclamation", (GetMsg(77) + (L"\r\n" + saved)).str())});
  EXPECT_TRUE(unopened.acceptEnabled);  // the user has the page, told where it is
  // xdg-open stays until a browser that it had to start is closed.
  temp.Card().Write("bin/xdg-open", "#!/bin/sh\necho $$ > " + bin + "/pid\nexec /bin/sleep 10\n");
  chmod((bin + "/xdg-open").c_str(), 0755);
  EXPECT_TRUE(ViewOnce().acceptEnabled);
  const int pid = std::stoi(temp.Card().Read("bin/pid"));
  EXPECT_EQ(kill(pid, 0), 0);  // still running: nobody waited for it
  kill(pid, SIGKILL);
}
#endif
