// Shows the consent dialog ("consent", "consent-view" pressing its View
// button at once) or the registration form ("registration") on real
// windows, for screenshots.
#include <cstring>

#include "register/agree_dialog.h"
#include "register/reg_dialog.h"
#include "res/resource.h"
#include "tests/gui/preview_support.h"

namespace {
bool g_bView = false;
class CPreviewAgreeDialog : public CAgreeDialog {
  BOOL OnInitDialog() override {
    CAgreeDialog::OnInitDialog();
    if (g_bView) PostMessageW(GetSafeHwnd(), WM_COMMAND, IDC_POLICY_VIEW, 0);
    return TRUE;
  }
};
}  // namespace

int main(int argc, char** argv) {
  const bool consent = argc > 1 && std::strncmp(argv[1], "consent", 7) == 0;
  g_bView = consent && std::strcmp(argv[1], "consent-view") == 0;
  return RunDialogPreview(argc, argv, [consent] {
    if (consent) {
      CPreviewAgreeDialog dialog;
      dialog.DoModal();
    } else {
      CRegDialog dialog;
      dialog.DoModal();
    }
  });
}
