// The registration form on its own: captions, the field limits when typing
// and when reading back, the required fields, Cancel, and the reply codes.
#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "net/http_session.h"
#include "register/reg_dialog.h"
#include "platform/automation.h"
#include "register/registration_fields.h"
#include "res/resource.h"
#include "tests/register/register_fixture.h"
#include "tests/support/automation.h"

using register_tests::ControlEnabled;
using register_tests::ControlText;
using register_tests::FillForm;
using register_tests::FormValues;
using testing_support::Click;
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
const FieldLimit kLimits[] = {{IDC_REG_NAME, 32}, {IDC_REG_COMPANY, 32}, {IDC_REG_ADDRESS1, 32}, {IDC_REG_ADDRESS2, 32}, {IDC_REG_PHONE, 20},
                              {IDC_REG_FAX, 20}, {IDC_REG_EMAIL, 255}, {IDC_REG_ZIP, 8}, {IDC_REG_DISTRIBUTOR, 32}};
}  // namespace

TEST(RegistrationForm, OpensWithItsCaptionsFromTheCatalogue) {
  CRegDialog dialog;
  bool checked = false;
  SetScript({[&] {
               CString title;
               dialog.GetWindowText(title);
               EXPECT_EQ(title, GetMsg(11));
               const int pairs[][2] = {{IDOK, 12},
                                       {IDCANCEL, 13},
                                       {IDC_REG_NAME_LABEL, 14},
                                       {IDC_REG_COMPANY_LABEL, 15},
                                       {IDC_REG_ADDRESS_LABEL, 17},
                                       {IDC_REG_PHONE_LABEL, 18},
                                       {IDC_REG_FAX_LABEL, 19},
                                       {IDC_REG_EMAIL_LABEL, 20},
                                       {IDC_REG_DISTRIBUTOR_LABEL, 21},
                                       {IDC_STATIC, 16}};
               for (const auto& pair : pairs) EXPECT_EQ(ControlText(pair[0]), GetMsg(pair[1]));
               checked = true;
             },
             Click(IDCANCEL)});
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
  // The postal code takes its hyphen form whole.
  steps.push_back(L"set " + std::to_wstring(IDC_REG_ZIP) + L" 123-4567");
  steps.push_back(L"set " + std::to_wstring(IDC_REG_EMAIL) + L" " + std::wstring(250, L'x') + L"@x.jp");
  steps.push_back(Click(IDOK));
  SetScript(steps);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_strName.GetLength(), 32);
  EXPECT_EQ(dialog.m_strFax.GetLength(), 20);
  EXPECT_EQ(dialog.m_strEmail.GetLength(), 255);
  EXPECT_EQ(dialog.m_strZip, L"123-4567");
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
    steps.push_back(Click(IDOK));
    steps.push_back([&] {
      const auto output = TakeOutput();
      ASSERT_EQ(output.size(), 1u) << limit.id;
      EXPECT_EQ(output[0], L"MessageBox[exclamation]: Enter no more than " +
                               std::to_wstring(limit.chars) + L" characters.");
      EXPECT_FALSE(dialog.IsEnding());
    });
    for (const Step& step : Steps(FillForm(FormValues()))) steps.push_back(step);
    steps.push_back(Click(IDOK));
    SetScript(steps);
    EXPECT_EQ(dialog.DoModal(), IDOK) << limit.id;
  }
}

// So is a postal code longer than its hyphen form, or an e-mail address
// without "@"; the field refused takes the focus.
TEST(RegistrationForm, EveryFieldButThePostalCodeIsRequired) {
  const std::tuple<int, const wchar_t*, int> refused[] = {
      {IDC_REG_NAME, L"", 69},  {IDC_REG_COMPANY, L"", 69}, {IDC_REG_ADDRESS1, L"", 69}, {IDC_REG_ADDRESS2, L"", 69},
      {IDC_REG_PHONE, L"", 69}, {IDC_REG_FAX, L"", 69},     {IDC_REG_EMAIL, L"", 69},    {IDC_REG_DISTRIBUTOR, L"", 69},
      {IDC_REG_ZIP, L"12345678", 132}, {IDC_REG_EMAIL, L"taro.example.com", 131}};
  for (const auto& [id, text, message] : refused) {
    CRegDialog dialog;
    std::vector<Step> steps = Steps(FillForm(FormValues()));
    steps.push_back(L"set " + std::to_wstring(id) + L" " + text);
    steps.push_back([] { TakeOutput(); });
    steps.push_back(Click(IDOK));
    steps.push_back([&] {
      const auto output = TakeOutput();
      ASSERT_EQ(output.size(), 1u) << id;
      EXPECT_EQ(output[0], L"MessageBox[none]: " + EscapeAutomationText(GetMsg(message)));
      EXPECT_FALSE(dialog.IsEnding());
      EXPECT_EQ(afx::FindWindowState(dialog.GetSafeHwnd())->focus, dialog.GetDlgItem(id)->GetSafeHwnd()) << id;
      // The user's input stays.
      EXPECT_EQ(ControlText(id == IDC_REG_NAME ? IDC_REG_COMPANY : IDC_REG_NAME), id == IDC_REG_NAME ? L"Garage Ltd" : L"Taro Yamada");
    });
    steps.push_back(Click(IDCANCEL));
    SetScript(steps);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  }

  // Without a session the form closes with OK and sends nothing.
  CRegDialog dialog;
  FormValues values;
  values.zip = L"";
  std::vector<Step> steps = Steps(FillForm(values));
  steps.push_back(Click(IDOK));
  SetScript(steps);
  TakeOutput();
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(TakeOutput().empty());
  EXPECT_EQ(PostalCodeToSend(L"\xFF11\xFF12\xFF13\x30FC\xFF14\xFF15\xFF16\xFF17"), L"\xFF11\xFF12\xFF13\xFF14\xFF15\xFF16\xFF17");
}

TEST(RegistrationForm, CancelLeavesTheResultUntouched) {
  CHttpSession session;
  std::int32_t result = 7;
  CRegDialog dialog;
  dialog.m_pSession = &session;
  dialog.m_pResult = &result;
  std::vector<Step> steps = Steps(FillForm(FormValues()));
  steps.push_back([] { EXPECT_TRUE(ControlEnabled(1)); });
  steps.push_back(Click(IDCANCEL));
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
