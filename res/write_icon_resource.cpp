// Writes the program icon for the Windows build: DIR/main_icon.ico, rendered
// by res/icon.cpp, and DIR/main_icon.rc, which makes it icon resource
// IDR_MAINFRAME of the .exe (what Explorer shows and the windows load).
// Runs on the build machine.
//
//   write_icon_resource DIR
#include <cstdio>
#include <fstream>
#include <string>

#include "res/ico_file.h"
#include "res/icon.h"
#include "res/resource.h"

namespace {
bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  if (out) return true;
  std::fprintf(stderr, "write_icon_resource: cannot write %s\n", path.c_str());
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_icon_resource DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  const std::string ico = dir + "/main_icon.ico";
  const std::string rc = std::to_string(IDR_MAINFRAME) + " ICON \"" + ico + "\"\n";
  return Write(ico, IcoFileOf(RenderProgramFileIcon())) && Write(dir + "/main_icon.rc", rc) ? 0 : 1;
}
