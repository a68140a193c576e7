// Shows the consent dialog ("consent") or the registration form
// ("registration") on real windows, for screenshots.
#include <cstring>

#include "register/agree_dialog.h"
#include "register/reg_dialog.h"
#include "tests/gui/preview_support.h"

int main(int argc, char** argv) {
  const bool consent = argc > 1 && std::strcmp(argv[1], "consent") == 0;
  return RunDialogPreview(argc, argv, [consent] {
    if (consent) {
      CAgreeDialog dialog;
      dialog.DoModal();
    } else {
      CRegDialog dialog;
      dialog.DoModal();
    }
  });
}
