#include <gtest/gtest.h>

#include "app/application.h"
#include "app/command_line.h"
#include "app/main_dialog.h"
#include "tests/support/cstring_printer.h"

namespace {
struct Flags {
  bool finish, autoStart, batch;
  bool operator==(const Flags&) const = default;
};

Flags Parse(std::vector<const wchar_t*> arguments) {
  CWinApp app;
  for (const wchar_t* a : arguments) app.m_arguments.emplace_back(a);
  CCustomCommandLineInfo info;
  app.ParseCommandLine(info);
  CHalyardDlg dialog;
  ApplyStartFlags(info, dialog);
  return {dialog.m_bFinishSelfUpdate, dialog.m_bAutoStart, dialog.m_bBatch};
}
}  // namespace

TEST(CommandLine, SwitchesSetTheStartFlags) {
  EXPECT_EQ(Parse({}), (Flags{false, false, false}));
  for (const wchar_t* e : {L"/e", L"-e", L"e"}) EXPECT_EQ(Parse({e}), (Flags{true, true, false}));
  for (const wchar_t* b : {L"/b", L"-b", L"b"}) EXPECT_EQ(Parse({b}), (Flags{false, true, true}));
  EXPECT_EQ(Parse({L"/b", L"/e"}), (Flags{true, true, true}));
  EXPECT_EQ(Parse({L"-e", L"b"}), (Flags{true, true, true}));
}

TEST(CommandLine, EverythingElseIsIgnored) {
  for (const wchar_t* other : {L"/B", L"/E", L"/batch", L"/eb", L"/be", L"card.txt", L"//b",
                               L"", L"/", L"b ", L"/exit"})
    EXPECT_EQ(Parse({other}), (Flags{false, false, false})) << other;
}

TEST(CommandLine, HelpAndVersionAreAskedForByTheirSwitches) {
  const auto parse = [](const wchar_t* argument) {
    CWinApp app;
    app.m_arguments.emplace_back(argument);
    CCustomCommandLineInfo info;
    app.ParseCommandLine(info);
    return info;
  };
  for (const wchar_t* help : {L"--help", L"-h", L"/?"}) EXPECT_TRUE(parse(help).m_bShowHelp) << help;
  for (const wchar_t* other : {L"-help", L"/help", L"--HELP", L"?x", L"---help", L"-H", L"--h", L"--version"})
    EXPECT_FALSE(parse(other).m_bShowHelp) << other;
  EXPECT_TRUE(parse(L"--version").m_bShowVersion);
  for (const wchar_t* other : {L"-version", L"/version", L"--VERSION", L"-v", L"--help"})
    EXPECT_FALSE(parse(other).m_bShowVersion) << other;
}
