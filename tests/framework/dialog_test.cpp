// The framework's message queue, modal loops and data exchange, driven
// through the scripted headless backend.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "framework/afx.h"
#include "tests/support/automation.h"

using testing_support::SetScript;
using testing_support::TakeOutput;

namespace {
constexpr UINT WM_TEST_NUMBER = 0x601;
constexpr UINT kTestDialog = 9001;

const DialogItem kItems[] = {
    {1, ControlKind::DefPushButton, 0, 0, 10, 10, WS_VISIBLE | WS_TABSTOP},
    {2, ControlKind::PushButton, 0, 0, 10, 10, WS_VISIBLE | WS_TABSTOP},
    {100, ControlKind::Edit, 0, 0, 10, 10, WS_VISIBLE | WS_TABSTOP},
    {101, ControlKind::CheckBox, 0, 0, 10, 10, WS_VISIBLE | WS_TABSTOP},
    {110, ControlKind::RadioButton, 0, 0, 10, 10, WS_VISIBLE | WS_GROUP},
    {111, ControlKind::RadioButton, 0, 0, 10, 10, WS_VISIBLE},
    {112, ControlKind::RadioButton, 0, 0, 10, 10, WS_VISIBLE},
    {120, ControlKind::Static, 0, 0, 10, 10, WS_VISIBLE | WS_GROUP},
    {130, ControlKind::PushButton, 0, 0, 10, 10, WS_VISIBLE | WS_TABSTOP},
    {131, ControlKind::PushButton, 0, 0, 10, 10, WS_TABSTOP},  // hidden
};
const DialogTemplate kTemplate = {kTestDialog, 100, 100, L"MS Shell Dlg", 8, WS_CAPTION, 0,
                                  kItems, sizeof kItems / sizeof kItems[0]};

class CTestDialog : public CDialog {
 public:
  CTestDialog() : CDialog(kTestDialog) { AfxRegisterDialogTemplate(&kTemplate); }
  std::vector<int> received;
  std::vector<CString> order;
  CString m_strName;
  int m_bFlag = TRUE;
  int m_nChoice = 1;
  int nestedResult = 0;
  bool runNested = false;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, 100, m_strName);
    DDV_MaxChars(pDX, m_strName, 5);
    DDX_Check(pDX, 101, m_bFlag);
    DDX_Radio(pDX, 110, m_nChoice);
  }
  LRESULT OnNumber(WPARAM wParam, LPARAM) {
    received.push_back(static_cast<int>(wParam));
    return 0;
  }
  void OnNested() {
    CTestDialog inner;
    SetScript({L"click 130"});  // the inner dialog's button ends it... via its own handler
    order.push_back(L"inner starts");
    nestedResult = static_cast<int>(inner.DoModal());
    order.push_back(L"inner ended");
  }
  void OnEndInner() { EndDialog(42); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
  ON_MESSAGE(WM_TEST_NUMBER, OnNumber)
  ON_COMMAND(131, OnNested)
  ON_COMMAND(130, OnEndInner)
END_MESSAGE_MAP()
}  // namespace

TEST(Framework, PostedMessagesArriveInOrderPerThreadAndAllArrive) {
  CTestDialog dialog;
  std::vector<std::thread> threads;
  SetScript({[&] {
    HWND hwnd = dialog.GetSafeHwnd();
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([hwnd, t] {
        for (int i = 0; i < 200; ++i) PostMessageW(hwnd, WM_TEST_NUMBER, t * 1000 + i, 0);
      });
    for (auto& th : threads) th.join();
  }});
  dialog.DoModal();
  ASSERT_EQ(dialog.received.size(), 800u);
  std::vector<int> last(4, -1);
  for (int value : dialog.received) {
    const int t = value / 1000, i = value % 1000;
    EXPECT_EQ(i, last[t] + 1) << "thread " << t << " out of order";
    last[t] = i;
  }
}

TEST(Framework, PostingToAClosedWindowFailsQuietly) {
  HWND gone;
  {
    CTestDialog dialog;
    SetScript({});
    dialog.DoModal();
    gone = dialog.GetSafeHwnd();
  }
  EXPECT_FALSE(PostMessageW(gone, WM_TEST_NUMBER, 1, 0));
  EXPECT_FALSE(ShowWindow(gone, SW_HIDE));
}

TEST(Framework, MessageBoxFromAWorkerBlocksItUntilAnswered) {
  CTestDialog dialog;
  std::atomic<int> stage{0};
  std::atomic<int> answer{0};
  SetScript({[&] {
    CWinThread* thread = AfxBeginThread(
        [](void* p) -> UINT {
          auto* s = static_cast<std::pair<std::atomic<int>*, std::atomic<int>*>*>(p);
          s->first->store(1);
          s->second->store(AfxMessageBox(L"from the worker", MB_ICONEXCLAMATION));
          s->first->store(2);
          delete s;
          return 0;
        },
        new std::pair<std::atomic<int>*, std::atomic<int>*>(&stage, &answer));
    ASSERT_NE(thread, nullptr);
  }});
  dialog.DoModal();  // the loop is not idle until the worker has ended
  EXPECT_EQ(stage.load(), 2);
  EXPECT_EQ(answer.load(), IDOK);
  const auto out = TakeOutput();
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], L"MessageBox[exclamation]: from the worker");
}

TEST(Framework, NestedModalLoopsEndInnerFirst) {
  CTestDialog dialog;
  SetScript({L"click 131"});
  // Button 131 is hidden: a hidden control ignores the click.
  dialog.DoModal();
  EXPECT_TRUE(dialog.order.empty());

  CTestDialog outer;
  SetScript({[&] { outer.GetDlgItem(131)->ShowWindow(SW_SHOW); }, L"click 131"});
  // The handler of 131 sets the inner script itself; when the inner dialog
  // has ended, the outer one ends at the end of its (now empty) input.
  const auto result = outer.DoModal();
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_EQ(outer.order.size(), 2u);
  EXPECT_EQ(outer.order[0], L"inner starts");
  EXPECT_EQ(outer.order[1], L"inner ended");
  EXPECT_EQ(outer.nestedResult, 42);
}

TEST(Framework, DataExchangeFillsReadsAndValidates) {
  CTestDialog dialog;
  dialog.m_strName = L"abc";
  bool checkedAtOpen = false;
  SetScript({[&] {
               CString text;
               dialog.GetDlgItem(100)->GetWindowText(text);
               checkedAtOpen = text == L"abc" && dialog.IsDlgButtonChecked(101) == BST_CHECKED &&
                               dialog.IsDlgButtonChecked(111) == BST_CHECKED &&
                               dialog.IsDlgButtonChecked(110) == BST_UNCHECKED;
             },
             L"set 100 abcdefgh",  // typing stops at the limit of 5
             L"click 101", L"click 112", L"click 1"});
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(checkedAtOpen);
  EXPECT_EQ(dialog.m_strName, L"abcde");
  EXPECT_EQ(dialog.m_bFlag, BST_UNCHECKED);
  EXPECT_EQ(dialog.m_nChoice, 2);
}

TEST(Framework, TooLongTextFailsValidationAndTheDialogStaysOpen) {
  CTestDialog dialog;
  SetScript({[&] { dialog.GetDlgItem(100)->SetWindowText(L"toolong"); }, L"click 1",
             [&] { EXPECT_FALSE(dialog.IsEnding()); }, L"set 100 ok", L"click 1"});
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_strName, L"ok");
  const auto out = TakeOutput();
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], L"MessageBox[exclamation]: Enter no more than 5 characters.");
}

TEST(Framework, DisabledAndHiddenControlsIgnoreClicks) {
  CTestDialog dialog;
  SetScript({[&] { dialog.GetDlgItem(1)->EnableWindow(FALSE); }, L"click 1", L"exit"});
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(Framework, EditReplacesItsSelectionAndKnowsWhetherTheUserChangedIt) {
  CTestDialog dialog;
  dialog.m_strName = L"abc";
  CEdit edit;
  SetScript({[&] {
               CDataExchange exchange(&dialog, FALSE);
               DDX_Control(&exchange, 100, edit);
               EXPECT_FALSE(edit.GetModify());
               edit.SetSel(3, 3);
               edit.ReplaceSel(L"de");  // at the end: appends
               edit.SetSel(1, 2);
               edit.ReplaceSel(L"XY");  // in the middle: replaces the selection
               edit.SetSel(0, -1);
               edit.SetSel(-1, 0);
               edit.ReplaceSel(L">");   // no selection: at the caret
               CString text;
               edit.GetWindowText(text);
               EXPECT_EQ(text, L">aXYcde");
             },
             L"set 100 typed", [&] {
               EXPECT_TRUE(edit.GetModify());
               edit.SetWindowText(L"set");
               EXPECT_FALSE(edit.GetModify());
             }});
  dialog.DoModal();
}

TEST(Framework, SaveDialogFileNameCutsAtEitherSeparator) {
  CFileDialog dialog(FALSE);
  dialog.m_strPathName = L"C:\\Users\\me\\KORAL70_manual_en.pdf";
  EXPECT_EQ(dialog.GetFileName(), L"KORAL70_manual_en.pdf");
  dialog.m_strPathName = L"/home/me/docs/manual.pdf";
  EXPECT_EQ(dialog.GetFileName(), L"manual.pdf");
  dialog.m_strPathName = L"manual.pdf";
  EXPECT_EQ(dialog.GetFileName(), L"manual.pdf");
}

TEST(Framework, TabFollowsTheTemplatesTabOrderAndStopsOnceAtARadioGroup) {
  constexpr UINT kOrderedDialog = 9002;
  static const int kOrder[] = {110, 111, 112, 130, 100, 101, 2, 1};
  static const DialogTemplate kOrdered = {kOrderedDialog, 100, 100, L"MS Shell Dlg", 8, WS_CAPTION, 0,
                                          kItems, sizeof kItems / sizeof kItems[0], kOrder, 8};
  AfxRegisterDialogTemplate(&kOrdered);
  CDialog dialog(kOrderedDialog);
  const auto id = [](HWND control) { return control ? afx::FindWindowState(control)->id : 0; };
  SetScript({[&] {
    const HWND d = dialog.GetSafeHwnd();
    // At open the focus passes over the group, which has no button checked.
    EXPECT_EQ(id(afx::FindWindowState(d)->focus), 130);
    const auto next = [&](int from, bool backward = false) {
      return id(afx::NextTabStop(d, from ? ::GetDlgItem(d, from) : nullptr, backward));
    };
    EXPECT_EQ(next(0), 110);  // no radio checked: the group's first
    EXPECT_EQ(next(110), 130);
    dialog.CheckDlgButton(112, BST_CHECKED);
    EXPECT_EQ(next(1), 112);  // else its checked one, and only that one
    EXPECT_EQ(next(130, true), 112);
    EXPECT_EQ(next(112), 130);
    dialog.GetDlgItem(101)->EnableWindow(FALSE);
    EXPECT_EQ(next(100), 2);
    EXPECT_EQ(next(0, true), 1);
  }});
  dialog.DoModal();
}
