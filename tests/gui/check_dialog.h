// A small dialog for the checks of the wx backend: one control of each kind
// the backend builds, and a hook that runs inside its modal loop.
#pragma once

#include <functional>

#include "framework/afx.h"

namespace gui_check {

constexpr UINT kCheckTemplate = 9100;
constexpr int kLabel = 100, kPassword = 101, kLog = 102, kCheck = 103, kRadioA = 104,
              kRadioB = 105, kGauge = 106, kHiddenLabel = 107, kName = 108;
constexpr UINT WM_STEP = 0x501, WM_DONE = 0x502;

void RegisterCheckTemplate();

// A worker for AfxBeginThread with the dialog's handle: posts WM_STEP with
// 0 to kSteps - 1, hides kLabel and shows kHiddenLabel (window calls from a
// worker keep their place among the messages), then posts WM_DONE.
constexpr int kSteps = 200;
UINT PostStepsThenDone(void* dialog);

class CCheckDialog : public CDialog {
 public:
  // inLoop runs once the modal loop runs; when it returns true the dialog
  // ends with IDOK.
  explicit CCheckDialog(std::function<bool(CCheckDialog&)> inLoop);

  HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

  // WM_STEP and WM_DONE, posted by workers: overridable reactions.
  std::function<void(WPARAM)> m_onStep;
  std::function<void(WPARAM)> m_onDone;

 protected:
  BOOL OnInitDialog() override;
  LRESULT OnStep(WPARAM wParam, LPARAM);
  LRESULT OnDone(WPARAM wParam, LPARAM);

 private:
  std::function<bool(CCheckDialog&)> m_inLoop;

  DECLARE_MESSAGE_MAP()
};

}  // namespace gui_check
