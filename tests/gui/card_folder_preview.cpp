// Shows the folder dialog in which a program started outside any card asks
// for the card, on real windows, for screenshots of its title and prompt in
// the display language. The arguments name the cards laid out in a media
// folder of its own (none: no card found). Cancelling it ends the program
// with 0.
#include <filesystem>
#include <fstream>

#include "app/card_finder.h"
#include "tests/gui/preview_support.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  const fs::path media = fs::temp_directory_path() / "koral70-preview-media";
  fs::remove_all(media);
  fs::create_directories(media);
  for (int i = 1; i < argc; ++i) {
    fs::create_directories(media / argv[i]);
    std::ofstream(media / argv[i] / "pass.ini");
  }
  const int code = RunDialogPreview(1, argv, [&] {
    std::wstring folder;
    FindCardFolder({media.wstring()}, folder);
  });
  fs::remove_all(media);
  return code;
}
