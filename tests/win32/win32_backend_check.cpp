// The win32 backend on a real (virtual) display under Windows or Wine:
// dialogs made from their templates, input through the controls' own
// messages, posted messages from worker threads and nested modal loops.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>
#include <thread>

#include "framework/afx.h"
#include "framework/backend.h"
#include "framework/uiqueue.h"
#include "framework/win32/win32_backend.h"
#include "res/icon.h"
#include "res/resource.h"
#include "tests/gui/check_dialog.h"

using afx::InspectNative;
using namespace gui_check;

namespace {

afx::win32::NativeWindow Peer(HWND hwnd) {
  const afx::WindowState* s = afx::FindWindowState(hwnd);
  return s ? s->peer : nullptr;
}

// A dialog of any template whose check runs inside its modal loop.
class CTemplateDialog : public CDialog {
 public:
  CTemplateDialog(UINT id, std::function<void(CTemplateDialog&)> inLoop)
      : CDialog(id), m_inLoop(std::move(inLoop)) {}
  HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
  int m_commands = 0;  // WM_COMMAND 1000 seen by the message map
  bool m_endAfterCheck = true;  // false: the check ends the dialog itself

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    afx::PostToUi([this] {
      m_inLoop(*this);
      if (m_endAfterCheck) EndDialog(IDOK);
    });
    return TRUE;
  }
  void OnStart() { ++m_commands; }

 private:
  std::function<void(CTemplateDialog&)> m_inLoop;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTemplateDialog, CDialog)
  ON_COMMAND(1000, OnStart)
END_MESSAGE_MAP()

TEST(Win32Backend, MainWindowComesFromItsTemplateInDialogUnits) {
  CTemplateDialog dialog(102, [](CTemplateDialog& d) {
    EXPECT_EQ(InspectNative(d.Item(1)).className, L"Button");
    EXPECT_EQ(InspectNative(d.Item(1001)).className, L"Edit");
    EXPECT_EQ(InspectNative(d.Item(1030)).className, L"Static");
    EXPECT_EQ(InspectNative(d.Item(1045)).className, L"msctls_progress32");
    // Hidden at open, as the template says.
    for (int id : {1046, 1045, 1009, 1008, 1012}) EXPECT_FALSE(InspectNative(d.Item(id)).visible) << id;
    for (int id : {1, 1000, 1001, 1002, 1003, 1006, 1007, 1010})
      EXPECT_TRUE(InspectNative(d.Item(id)).visible) << id;
    EXPECT_EQ(InspectNative(d.Item(1003)).passwordChar, afx::kDefaultPasswordChar);
    // Exit is 28 units high, "Change user info" 14, both 81 wide: Windows
    // converts both with the same font's base units.
    const auto exit = InspectNative(d.Item(1)), change = InspectNative(d.Item(1007));
    EXPECT_EQ(exit.width, change.width);
    EXPECT_NEAR(exit.height, 2 * change.height, 1);
    EXPECT_GT(InspectNative(d.Item(1001)).width, 2 * InspectNative(d.Item(1002)).width);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(Win32Backend, TextsGoBothWaysAndClicksReachTheMessageMap) {
  CTemplateDialog dialog(102, [](CTemplateDialog& d) {
    d.GetDlgItem(1000)->SetWindowText(L"Start update");
    EXPECT_EQ(InspectNative(d.Item(1000)).text, L"Start update");
    d.GetDlgItem(1031)->SetWindowText(L"ｼﾘｱﾙ番号");
    EXPECT_EQ(InspectNative(d.Item(1031)).text, L"ｼﾘｱﾙ番号");

    // Typing reaches the framework as the user's text; the program's own
    // texts do not count as typing.
    CEdit serial;
    serial.m_hWnd = d.Item(1002);
    serial.SetWindowText(L"A1");
    EXPECT_FALSE(serial.GetModify());
    serial.SetSel(2, 2);  // the caret after the text, as the user would put it
    afx::win32::TypeIntoNative(Peer(d.Item(1002)), L"23");
    CString typed;
    serial.GetWindowText(typed);
    EXPECT_EQ(typed.str(), L"A123");
    EXPECT_TRUE(serial.GetModify());
    serial.m_hWnd = nullptr;

    afx::win32::ClickNative(Peer(d.Item(1000)));
    EXPECT_EQ(d.m_commands, 1);
    // A disabled button takes no click.
    d.GetDlgItem(1000)->EnableWindow(FALSE);
    EXPECT_FALSE(InspectNative(d.Item(1000)).enabled);
    afx::win32::ClickNative(Peer(d.Item(1000)));
    EXPECT_EQ(d.m_commands, 1);

    // The check box toggles natively and in the framework alike.
    afx::win32::ClickNative(Peer(d.Item(1006)));
    EXPECT_EQ(d.IsDlgButtonChecked(1006), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(InspectNative(d.Item(1006)).check, BST_CHECKED);
    d.CheckDlgButton(1006, BST_UNCHECKED);
    EXPECT_EQ(InspectNative(d.Item(1006)).check, BST_UNCHECKED);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(Win32Backend, ProgressRangeAndPositionReachTheBar) {
  CTemplateDialog dialog(102, [](CTemplateDialog& d) {
    CProgressCtrl bar;
    bar.m_hWnd = d.Item(1045);
    bar.SendMessage(PBM_SETPOS, 0, 0);
    bar.SetRange(0, 100);
    bar.SendMessage(PBM_SETPOS, 40, 0);
    d.GetDlgItem(1045)->ShowWindow(SW_SHOW);
    const afx::win32::NativeView view = InspectNative(d.Item(1045));
    EXPECT_EQ(view.rangeMin, 0);
    EXPECT_EQ(view.rangeMax, 100);
    EXPECT_EQ(view.position, 40);
    EXPECT_TRUE(view.visible);
    bar.SetRange(0, 7);
    bar.SendMessage(PBM_SETPOS, 9, 0);  // kept inside the range, by the framework and the bar
    EXPECT_EQ(InspectNative(d.Item(1045)).position, 7);
    EXPECT_EQ(bar.SendMessage(PBM_GETPOS, 0, 0), 7);
    bar.m_hWnd = nullptr;
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(Win32Backend, WorkerMessagesArriveInOrderThroughTheWindowsQueue) {
  int nextStep = 0;
  bool inOrder = true;
  afx::win32::NativeView label, hiddenLabel, gauge;
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
  EXPECT_FALSE(label.visible);
  EXPECT_TRUE(hiddenLabel.visible);
  EXPECT_EQ(gauge.position, 99);
}

TEST(Win32Backend, NestedDialogDisablesItsOwnerAndAnOuterEndWaitsForIt) {
  bool ownerDisabled = false, innerShownAfterOuterEnded = false;
  std::intptr_t innerResult = 0;
  CCheckDialog outer([&](CCheckDialog& o) {
    CCheckDialog inner([&](CCheckDialog& i) {
      ownerDisabled = !InspectNative(o.GetSafeHwnd()).enabled;
      o.EndDialog(5);
      afx::PostToUi([&] {
        innerShownAfterOuterEnded = InspectNative(i.GetSafeHwnd()).visible;
        i.EndDialog(IDOK);
      });
      return false;
    });
    innerResult = inner.DoModal();
    return false;
  });
  EXPECT_EQ(outer.DoModal(), 5);
  EXPECT_EQ(innerResult, IDOK);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(innerShownAfterOuterEnded);
  EXPECT_FALSE(afx::IsUiOpen());
}

TEST(Win32Backend, EscapeKeyEndsTheDialogThroughTheDialogManager) {
  CCheckDialog dialog([](CCheckDialog& d) {
    afx::win32::PostEscapeKey(Peer(d.Item(kName)));
    return false;
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

UINT EndAfterAWhile(void* param) {
  std::this_thread::sleep_for(std::chrono::seconds(3));
  PostMessageW(static_cast<HWND>(param), WM_DONE, 0, 0);
  return 0;
}

TEST(Win32Backend, EscapeStillEndsTheDialogWhenTheFocusedControlIsDisabled) {
  // As when a job starts: the focused button is disabled under the user.
  CCheckDialog dialog([](CCheckDialog& d) {
    d.GetDlgItem(kName)->SetFocus();
    d.GetDlgItem(kName)->EnableWindow(FALSE);
    EXPECT_NE(afx::win32::NativeFocus(), nullptr);
    afx::win32::PostEscapeKey(afx::win32::NativeFocus());
    AfxBeginThread(&EndAfterAWhile, d.GetSafeHwnd());  // ends the test if Esc went nowhere
    return false;
  });
  dialog.m_onDone = [&](WPARAM) { dialog.EndDialog(IDOK); };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(Win32Backend, DialogIconAndPasswordCharacterReachTheWindows) {
  CCheckDialog dialog([](CCheckDialog& d) {
    d.SetIcon(AfxLoadIcon(IDR_MAINFRAME), TRUE);
    d.SetIcon(AfxLoadIcon(IDR_MAINFRAME), FALSE);
    // The window's icon is the .exe's icon resource: the very image res/
    // draws at that size, alpha and all.
    const afx::win32::NativeView view = InspectNative(d.GetSafeHwnd());
    EXPECT_TRUE(view.hasIcon);
    bool drawn = false;
    for (const IconImage& image : RenderProgramFileIcon()) {
      if (image.size != view.iconSize) continue;
      drawn = true;
      EXPECT_EQ(view.iconPixels, image.pixels);
    }
    EXPECT_TRUE(drawn) << "no image of " << view.iconSize << " pixels";
    CWnd* edit = d.GetDlgItem(kPassword);
    edit->SendMessage(EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_EQ(InspectNative(d.Item(kPassword)).passwordChar, 0);
    edit->SendMessage(EM_SETPASSWORDCHAR, L'*', 0);
    EXPECT_EQ(InspectNative(d.Item(kPassword)).passwordChar, L'*');
    return true;
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(Win32Backend, ButtonsComeFromTheCommonControlsOfTheManifest) {
  CTemplateDialog dialog(IDD_WIFI_SETTINGS, [](CTemplateDialog& d) {
    for (int id : {IDOK, IDC_WIFI_MODE_GROUP, IDC_WIFI_STANDALONE, IDC_WIFI_SHOW_PASSWORD})
      EXPECT_TRUE(afx::win32::IsCommonControls6Button(Peer(d.Item(id)))) << id;
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(Win32Backend, ADialogMovedToAScreenOfAnotherScaleLaysItselfOutAgain) {
  CTemplateDialog dialog(102, [](CTemplateDialog& d) {
    d.SetIcon(AfxLoadIcon(IDR_MAINFRAME), TRUE);
    const unsigned dpi = InspectNative(d.GetSafeHwnd()).dpi;
    ASSERT_GE(dpi, 96u);
    std::vector<afx::win32::NativeView> before;
    for (HWND control : afx::FindWindowState(d.GetSafeHwnd())->children) before.push_back(InspectNative(control));

    afx::win32::ChangeNativeDpi(Peer(d.GetSafeHwnd()), 192);  // 200 %
    const afx::win32::NativeView window = InspectNative(d.GetSafeHwnd());
    EXPECT_EQ(window.iconSize, 64);  // the big icon drawn for that scale
    const auto exit = InspectNative(d.Item(1)), change = InspectNative(d.Item(1007));
    EXPECT_NEAR(exit.fontHeight * static_cast<double>(dpi) / 192, before[0].fontHeight, 2);
    // Widths follow the font's own widths, which hinting keeps from growing
    // quite in step with the scale.
    EXPECT_GT(exit.width * static_cast<double>(dpi) / 192, before[0].width * 0.85);
    EXPECT_NEAR(exit.height, 2 * change.height, 2);

    // Back at the first scale, every control is where the dialog manager put it.
    afx::win32::ChangeNativeDpi(Peer(d.GetSafeHwnd()), dpi);
    const auto& children = afx::FindWindowState(d.GetSafeHwnd())->children;
    for (size_t i = 0; i < children.size(); ++i) {
      const afx::win32::NativeView now = InspectNative(children[i]);
      EXPECT_EQ(now.left, before[i].left) << i;
      EXPECT_EQ(now.top, before[i].top) << i;
      EXPECT_EQ(now.width, before[i].width) << i;
      EXPECT_EQ(now.height, before[i].height) << i;
      EXPECT_EQ(now.fontHeight, before[i].fontHeight) << i;
    }
    EXPECT_EQ(InspectNative(d.GetSafeHwnd()).iconSize, window.iconSize * static_cast<int>(dpi) / 192);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(Win32Backend, TabFollowsTheTabOrderOfTheTemplate) {
  const std::vector<int> expected = {IDC_WIFI_WPA2,  IDC_WIFI_MAC_ADDRESS,   IDC_WIFI_SSID,
                                     IDC_PASSWORD,   IDC_WIFI_SHOW_PASSWORD, IDC_WIFI_IP_MANUAL,
                                     IDC_WIFI_IP_ADDRESS, IDC_WIFI_RESET,    IDOK,
                                     IDCANCEL,       IDC_WIFI_CLIENT};
  std::vector<int> visited;
  std::function<void()> press;
  CTemplateDialog dialog(IDD_WIFI_SETTINGS, [&](CTemplateDialog& d) {
    for (int id : {IDC_WIFI_CLIENT, IDC_WIFI_WPA2, IDC_WIFI_IP_MANUAL}) d.CheckDlgButton(id, BST_CHECKED);
    d.GetDlgItem(IDC_WIFI_CLIENT)->SetFocus();
    press = [&] {
      if (visited.size() == expected.size()) return d.EndDialog(IDOK);
      afx::win32::TypeTabKey(afx::win32::NativeFocus());
      for (HWND control : afx::FindWindowState(d.GetSafeHwnd())->children)
        if (Peer(control) == afx::win32::NativeFocus()) visited.push_back(afx::FindWindowState(control)->id);
      press();
    };
    press();
  });
  dialog.m_endAfterCheck = false;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(visited, expected);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  RegisterProgramResources();
  RegisterCheckTemplate();
  int result = 1;
  const int started = afx::RunWithWin32([&] { result = RUN_ALL_TESTS(); });
  return started != 0 ? started : result;
}
