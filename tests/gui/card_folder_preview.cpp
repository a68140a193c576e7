// Shows the folder dialog in which a program started outside any card asks
// for the card, on real windows, for screenshots of its title in the display
// language. Cancelling it ends the program with 0.
#include "app/card_finder.h"
#include "tests/gui/preview_support.h"

int main(int argc, char** argv) {
  // No media root holds a card here, so the dialog opens.
  return RunDialogPreview(argc, argv, [] {
    std::wstring folder;
    FindCardFolder({}, folder);
  });
}
