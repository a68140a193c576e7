// Shows the folder dialog in which a program started outside any card asks
// for the card, on real windows, for screenshots in the display language;
// the arguments name the cards in its media folder. Cancelling it ends the
// program with 0.
#include <filesystem>
#include <fstream>

#include "app/card_finder.h"
#include "tests/gui/preview_support.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  const fs::path media = fs::temp_directory_path() / "koral70-preview-media";
  fs::create_directories(media);
  for (int i = 1; i < argc; ++i)
    if (fs::create_directories(media / argv[i])) std::ofstream(media / argv[i] / "pass.ini");
  const int code = RunDialogPreview(1, argv, [&] {
    std::wstring folder;
    FindCardFolder({media.wstring()}, folder);
  });
  fs::remove_all(media);
  return code;
}
