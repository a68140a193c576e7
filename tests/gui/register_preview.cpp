// Shows the consent dialog ("consent"; "consent-view" presses its View
// button at once) or the registration form ("registration") on real
// windows, for screenshots.
#include <cstring>

#include "register/agree_dialog.h"
#include "register/reg_dialog.h"
#include "res/resource.h"
#include "tests/gui/preview_support.h"

namespace {
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
