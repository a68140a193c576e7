// The wx backend on a real (virtual) display: posted messages from worker
// threads, and native widgets that follow the framework's window state.
#include <gtest/gtest.h>

#include <vector>

#include "framework/backend.h"
#include "framework/uiqueue.h"
#include "framework/wx/wx_backend.h"
#include "res/resource.h"
#include "tests/gui/check_dialog.h"

using afx::InspectNative;
using namespace gui_check;

namespace {

TEST(WxBackend, WorkerMessagesArriveInOrderAndShowOnTheWidgets) {
  int nextStep = 0;
  bool inOrder = true;
  afx::NativeView label, hiddenLabel, gauge;
  CCheckDialog dialog([](CCheckDialog& d) {
    EXPECT_NE(AfxBeginThread(&PostStepsThenDone, d.GetSafeHwnd()), nullptr);
    return false;
  });
  dialog.m_onStep = [&](WPARAM step) {
    inOrder = inOrder && static_cast<int>(step) == nextStep;
    ++nextStep;
    CString text;
    text.Format(L"step %d", static_cast<int>(step));
    dialog.GetDlgItem(kLabel)->SetWindowText(text);
    dialog.GetDlgItem(kGauge)->SendMessage(PBM_SETPOS, step / 2, 0);
  };
  dialog.m_onDone = [&](WPARAM) {
    label = InspectNative(dialog.Item(kLabel));
    hiddenLabel = InspectNative(dialog.Item(kHiddenLabel));
    gauge = InspectNative(dialog.Item(kGauge));
    dialog.EndDialog(IDOK);
  };
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(nextStep, kSteps);
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(label.text, L"step 199");
  EXPECT_FALSE(label.shown);
  EXPECT_TRUE(hiddenLabel.shown);
  EXPECT_EQ(gauge.gaugeValue, 99);
  EXPECT_EQ(gauge.gaugeRange, 100);
}

TEST(WxBackend, PasswordCharacterSwitchesTheMaskAndKeepsTextAndPlace) {
  CCheckDialog dialog([](CCheckDialog& d) {
    CWnd* edit = d.GetDlgItem(kPassword);
    edit->SetWindowText(L"s3cret");
    const afx::NativeView masked = InspectNative(d.Item(kPassword));
    EXPECT_TRUE(masked.password);
    edit->SendMessage(EM_SETPASSWORDCHAR, 0, 0);
    const afx::NativeView plain = InspectNative(d.Item(kPassword));
    EXPECT_FALSE(plain.password);
    EXPECT_EQ(plain.text, L"s3cret");
    EXPECT_TRUE(plain.shown);
    EXPECT_EQ(plain.width, masked.width);
    EXPECT_EQ(plain.height, masked.height);
    edit->SendMessage(EM_SETPASSWORDCHAR, L'*', 0);
    EXPECT_TRUE(InspectNative(d.Item(kPassword)).password);
    EXPECT_EQ(InspectNative(d.Item(kPassword)).text, L"s3cret");
    return true;
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(WxBackend, ClicksKeepCheckBoxesAndRadioButtonsInStepWithTheState) {
  CCheckDialog dialog([](CCheckDialog& d) {
    afx::UserClicks(d.Item(kCheck));
    EXPECT_EQ(d.IsDlgButtonChecked(kCheck), static_cast<UINT>(BST_CHECKED));
    EXPECT_TRUE(InspectNative(d.Item(kCheck)).checked);
    afx::UserClicks(d.Item(kRadioB));
    EXPECT_TRUE(InspectNative(d.Item(kRadioB)).checked);
    EXPECT_FALSE(InspectNative(d.Item(kRadioA)).checked);
    EXPECT_EQ(d.IsDlgButtonChecked(kRadioA), static_cast<UINT>(BST_UNCHECKED));
    d.CheckDlgButton(kCheck, BST_UNCHECKED);
    EXPECT_FALSE(InspectNative(d.Item(kCheck)).checked);
    return true;
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(WxBackend, ProgramTextsShowWhole) {
  CCheckDialog dialog([](CCheckDialog& d) {
    // A limit stops typing only: a longer text from the program stays whole.
    CWnd* name = d.GetDlgItem(kName);
    name->SendMessage(EM_LIMITTEXT, 3, 0);
    name->SetWindowText(L"abcdef");
    EXPECT_EQ(InspectNative(d.Item(kName)).text, L"abcdef");
    CString stored;
    name->GetWindowText(stored);
    EXPECT_EQ(stored.str(), L"abcdef");
    name->SendMessage(EM_SETREADONLY, TRUE, 0);
    EXPECT_FALSE(InspectNative(d.Item(kName)).editable);

    d.GetDlgItem(kLabel)->SetWindowText(L"ｱｯﾌﾟﾃﾞｰﾄ");
    EXPECT_EQ(InspectNative(d.Item(kLabel)).text, L"ｱｯﾌﾟﾃﾞｰﾄ");

    // The status log's caret goes to the end of its text.
    std::wstring log;
    for (int i = 0; i < 40; ++i) log += L"line " + std::to_wstring(i) + L"\r\n";
    CWnd* edit = d.GetDlgItem(kLog);
    edit->SetWindowText(log.c_str());
    const int end = edit->GetWindowTextLength();
    edit->SendMessage(EM_SETSEL, static_cast<WPARAM>(end), end);
    edit->SendMessage(EM_SCROLLCARET, 0, 0);
    const afx::NativeView view = InspectNative(d.Item(kLog));
    EXPECT_EQ(view.text, log);
    EXPECT_EQ(view.selectionStart, end);
    EXPECT_EQ(view.selectionEnd, end);
    return true;
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(WxBackend, HiddenAtOpenMeansHiddenNatively) {
  CCheckDialog dialog([](CCheckDialog& d) {
    EXPECT_FALSE(InspectNative(d.Item(kHiddenLabel)).shown);
    EXPECT_TRUE(InspectNative(d.Item(kLabel)).shown);
    EXPECT_EQ(InspectNative(d.GetSafeHwnd()).text, L"Backend check");
    return true;
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(WxBackend, DialogAskedToEndUnderANestedDialogEndsAfterIt) {
  bool innerShownAfterOuterEnded = false;
  std::intptr_t innerResult = 0;
  CCheckDialog outer([&](CCheckDialog& o) {
    CCheckDialog inner([&](CCheckDialog& i) {
      o.EndDialog(5);
      afx::PostToUi([&] {
        innerShownAfterOuterEnded = InspectNative(i.GetSafeHwnd()).shown;
        i.EndDialog(IDOK);
      });
      return false;
    });
    innerResult = inner.DoModal();
    return false;
  });
  EXPECT_EQ(outer.DoModal(), 5);
  EXPECT_EQ(innerResult, IDOK);
  EXPECT_TRUE(innerShownAfterOuterEnded);
}

TEST(WxBackend, TabFollowsTheTabOrderOfTheTemplate) {
  const std::vector<int> expected = {IDC_WIFI_WPA2,  IDC_WIFI_MAC_ADDRESS,   IDC_WIFI_SSID,
                                     IDC_PASSWORD,   IDC_WIFI_SHOW_PASSWORD, IDC_WIFI_IP_MANUAL,
                                     IDC_WIFI_IP_ADDRESS, IDC_WIFI_RESET,    IDOK,
                                     IDCANCEL,       IDC_WIFI_CLIENT};
  std::vector<int> visited, backward;
  CDialog dialog(IDD_WIFI_SETTINGS);
  afx::PostToUi([&] {
    const HWND d = dialog.GetSafeHwnd();
    const auto focused = [d] {
      for (HWND control : afx::FindWindowState(d)->children)
        if (InspectNative(control).focused) return afx::FindWindowState(control)->id;
      return 0;
    };
    for (int id : {IDC_WIFI_CLIENT, IDC_WIFI_WPA2, IDC_WIFI_IP_MANUAL}) dialog.CheckDlgButton(id, BST_CHECKED);
    dialog.GetDlgItem(IDC_WIFI_CLIENT)->SetFocus();
    for (size_t i = 0; i < expected.size(); ++i) {
      afx::TypeTabKey(d, false);
      visited.push_back(focused());
    }
    for (int i = 0; i < 2; ++i) {
      afx::TypeTabKey(d, true);
      backward.push_back(focused());
    }
    dialog.EndDialog(IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(visited, expected);
  EXPECT_EQ(backward, (std::vector<int>{IDCANCEL, IDOK}));
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  RegisterCheckTemplate();
  RegisterProgramResources();
  int result = 1;
  const int started = afx::RunWithWx(argc, argv, [&] { result = RUN_ALL_TESTS(); });
  return started != 0 ? started : result;
}
