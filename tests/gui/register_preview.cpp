// Shows the consent dialog ("consent"), the consent dialog once its View
// button has been pressed ("consent-view": it fetches the policy from
// KORAL70_POLICY_URL) or the registration form ("registration") on real
// windows, for screenshots.
#include <cstring>

#include "register/agree_dialog.h"
#include "register/reg_dialog.h"
#include "res/resource.h"
#include "tests/gui/preview_support.h"

namespace {
// The consent dialog that presses its own View button once it is open.
class CViewingAgreeDialog : public CAgreeDialog {
 protected:
  BOOL OnInitDialog() override {
    CAgreeDialog::OnInitDialog();
    PostMessageW(GetSafeHwnd(), WM_COMMAND, IDC_POLICY_VIEW, 0);
    return TRUE;
  }
};
}  // namespace

int main(int argc, char** argv) {
  const char* shown = argc > 1 ? argv[1] : "";
  return RunDialogPreview(argc, argv, [shown] {
    if (std::strcmp(shown, "consent") == 0) {
      CAgreeDialog dialog;
      dialog.DoModal();
    } else if (std::strcmp(shown, "consent-view") == 0) {
      CViewingAgreeDialog dialog;
      dialog.DoModal();
    } else {
      CRegDialog dialog;
      dialog.DoModal();
    }
  });
}
