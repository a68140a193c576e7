// The registration form on its own: captions, the field limits when typing
// and when reading back, the required fields, Cancel, and the reply codes.
#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "net/http_session.h"
#include "register/reg_dialog.h"
#include "tests/register/register_fixture.h"
#include "tests/support/automation.h"

using register_tests::ControlEnabled;
using register_tests::ControlText;
using register_tests::FillForm;
using register_tests::FormValues;
using testing_support::SetScript;
using testing_support::Step;
using testing_support::TakeOutput;

namespace {
std::vector<Step> Steps(const std::vector<std::wstring>& commands) {
  return {commands.begin(), commands.end()};
}

std::int32_t Code(const char* reply, std::uint32_t size) {
  return RegistrationReplyCode(reinterpret_cast<const unsigned char*>(reply), size);
}

struct FieldLimit {
  int id;
  int chars;
};
const FieldLimit kLimits[] = {{1004, 32}, {1005, 32}, {1006, 32}, {1007, 32}, {1008, 20},
                              {1009, 20}, {1010, 255}, {1011, 7}, {1013, 32}};
}  // namespace

TEST(RegistrationForm, OpensWithItsCaptionsFromTheCatalogue) {
  CRegDialog dialog;
  bool checked = false;
  SetScript({[&] {
               CString title;
               dialog.GetWindowText(title);
               EXPECT_EQ(title, GetMsg(11));
               const int pairs[][2] = {{1, 12},    {2, 13},    {1033, 14}, {1034, 15}, {1035, 17},
                                       {1036, 18}, {1037, 19}, {1038, 20}, {1039, 21}, {-1, 16}};
               for (const auto& pair : pairs) EXPECT_EQ(ControlText(pair[0]), GetMsg(pair[1]));
               checked = true;
             },
             L"click 2"});
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(checked);
}

TEST(RegistrationForm, EditsStopAtTheirLimits) {
  CRegDialog dialog;
  std::vector<Step> steps;
  for (const auto& limit : kLimits)
    steps.push_back(L"set " + std::to_wstring(limit.id) + L" " + std::wstring(300, L'x'));
  steps.push_back([&] {
    for (const auto& limit : kLimits)
      EXPECT_EQ(ControlText(limit.id).GetLength(), limit.chars) << limit.id;
  });
  steps.push_back(L"click 1");
  SetScript(steps);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_strName.GetLength(), 32);
  EXPECT_EQ(dialog.m_strFax.GetLength(), 20);
  EXPECT_EQ(dialog.m_strEmail.GetLength(), 255);
  EXPECT_EQ(dialog.m_strZip.GetLength(), 7);
}

// Text that reaches a control past its limit (pasted by a program, say) is
// refused when the form is read, against that same field's limit.
TEST(RegistrationForm, EachLimitIsCheckedAgainOnReadBack) {
  for (const auto& limit : kLimits) {
    CRegDialog dialog;
    std::vector<Step> steps = Steps(FillForm(FormValues()));
    steps.push_back([&] {
      dialog.GetDlgItem(limit.id)->SetWindowText(CString(L'y', limit.chars + 1));
      TakeOutput();
    });
    steps.push_back(L"click 1");
    steps.push_back([&] {
      const auto output = TakeOutput();
      ASSERT_EQ(output.size(), 1u) << limit.id;
      EXPECT_EQ(output[0], L"MessageBox[exclamation]: Enter no more than " +
                               std::to_wstring(limit.chars) + L" characters.");
      EXPECT_FALSE(dialog.IsEnding());
      dialog.GetDlgItem(limit.id)->SetWindowText(CString(L'y', limit.chars));
    });
    steps.push_back(L"click 1");
    SetScript(steps);
    EXPECT_EQ(dialog.DoModal(), IDOK) << limit.id;
  }
}

TEST(RegistrationForm, EveryFieldButThePostalCodeIsRequired) {
  const int required[] = {1004, 1005, 1006, 1007, 1008, 1009, 1010, 1013};
  for (int id : required) {
    CRegDialog dialog;
    std::vector<Step> steps = Steps(FillForm(FormValues()));
    steps.push_back(L"set " + std::to_wstring(id) + L" ");
    steps.push_back([] { TakeOutput(); });
    steps.push_back(L"click 1");
    steps.push_back([&] {
      const auto output = TakeOutput();
      ASSERT_EQ(output.size(), 1u) << id;
      EXPECT_EQ(output[0], std::wstring(L"MessageBox[none]: ") + GetMsg(69));
      EXPECT_FALSE(dialog.IsEnding());
      // The user's input stays.
      EXPECT_EQ(ControlText(id == 1004 ? 1005 : 1004), id == 1004 ? L"Garage Ltd" : L"Taro Yamada");
    });
    steps.push_back(L"click 2");
    SetScript(steps);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  }

  // Without a session the form closes with OK and sends nothing.
  CRegDialog dialog;
  FormValues values;
  values.zip = L"";
  std::vector<Step> steps = Steps(FillForm(values));
  steps.push_back(L"click 1");
  SetScript(steps);
  TakeOutput();
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(TakeOutput().empty());
}

TEST(RegistrationForm, CancelLeavesTheResultUntouched) {
  CHttpSession session;
  std::int32_t result = 7;
  CRegDialog dialog;
  dialog.m_pSession = &session;
  dialog.m_pResult = &result;
  std::vector<Step> steps = Steps(FillForm(FormValues()));
  steps.push_back([] { EXPECT_TRUE(ControlEnabled(1)); });
  steps.push_back(L"click 2");
  SetScript(steps);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(result, 7);
  EXPECT_TRUE(session.Body().empty());
}

TEST(RegistrationReply, OnlyTheFiveBytesOfDoneAreSuccess) {
  EXPECT_EQ(Code(" Done", 5), kRegistrationDone);
  EXPECT_EQ(Code(" Done\r\n", 7), kRegistrationBadLength);
  EXPECT_EQ(Code(" Done\n", 6), kRegistrationBadLength);
  EXPECT_EQ(Code("Done", 4), kRegistrationBadLength);
  EXPECT_EQ(Code(nullptr, 0), kRegistrationBadLength);
  EXPECT_EQ(Code(" done", 5), kRegistrationRefused);
  EXPECT_EQ(Code("Error", 5), kRegistrationRefused);
}
