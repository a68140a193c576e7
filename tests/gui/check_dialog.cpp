#include "tests/gui/check_dialog.h"

#include "framework/uiqueue.h"

namespace gui_check {
namespace {
using K = ControlKind;
constexpr DWORD V = WS_VISIBLE, T = WS_TABSTOP, B = WS_BORDER;

const DialogItem kItems[] = {
    {kLabel, K::Static, 7, 7, 100, 8, V},
    {kPassword, K::Edit, 7, 20, 100, 12, V | T | B | ES_PASSWORD | ES_AUTOHSCROLL},
    {kLog, K::Edit, 7, 35, 100, 40, V | T | B | ES_MULTILINE | WS_VSCROLL},
    {kCheck, K::CheckBox, 120, 7, 70, 10, V | T},
    {kRadioA, K::RadioButton, 120, 20, 70, 10, V | T | WS_GROUP},
    {kRadioB, K::RadioButton, 120, 32, 70, 10, V},
    {kGauge, K::Progress, 7, 80, 100, 5, V | B | WS_GROUP},
    {kHiddenLabel, K::Static, 7, 90, 100, 8, 0},
    {kName, K::Edit, 120, 45, 70, 12, V | T | B | ES_AUTOHSCROLL},
    {IDOK, K::DefPushButton, 140, 95, 50, 14, V | T},
};
const DialogTemplate kTemplate = {kCheckTemplate, 200, 120, L"MS Shell Dlg", 8,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, kItems,
                                  sizeof kItems / sizeof kItems[0]};
}  // namespace

void RegisterCheckTemplate() { AfxRegisterDialogTemplate(&kTemplate); }

UINT PostStepsThenDone(void* param) {
  const HWND dialog = static_cast<HWND>(param);
  for (int i = 0; i < kSteps; ++i) PostMessageW(dialog, WM_STEP, static_cast<WPARAM>(i), 0);
  ShowWindow(GetDlgItem(dialog, kLabel), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, kHiddenLabel), SW_SHOW);
  PostMessageW(dialog, WM_DONE, 0, 0);
  return 0;
}

BEGIN_MESSAGE_MAP(CCheckDialog, CDialog)
  ON_MESSAGE(WM_STEP, OnStep)
  ON_MESSAGE(WM_DONE, OnDone)
END_MESSAGE_MAP()

CCheckDialog::CCheckDialog(std::function<bool(CCheckDialog&)> inLoop)
    : CDialog(kCheckTemplate), m_inLoop(std::move(inLoop)) {}

BOOL CCheckDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(L"Backend check");
  afx::PostToUi([this] {
    if (m_inLoop && m_inLoop(*this)) EndDialog(IDOK);
  });
  return TRUE;
}

LRESULT CCheckDialog::OnStep(WPARAM wParam, LPARAM) {
  if (m_onStep) m_onStep(wParam);
  return 0;
}

LRESULT CCheckDialog::OnDone(WPARAM wParam, LPARAM) {
  if (m_onDone) m_onDone(wParam);
  return 0;
}

}  // namespace gui_check
