#include "server/demo_data.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "server/demo_pdf.h"
#include "server/policy_defaults.h"

namespace koral_server {
namespace {

namespace fs = std::filesystem;

struct DemoFile {
  const char* tag;
  const char* localDigest;
  const char* name;  // card path, '\' separated
  std::string content;
};

bool Write(const fs::path& path, const std::string& bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

// Deterministic filler, large enough for the progress bars to move.
std::string DatabaseBytes(size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t x = 0x4B37u;
  for (char& b : bytes) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<char>(x >> 24);
  }
  return bytes;
}

std::vector<DemoFile> DemoRelease() {
  return {
      {"3.4.0", "0", "Support\\updater\\koral70.exe",
       "Placeholder for the card's copy of the client: put the client binary the card runs here.\n"},
      {"1.0", "0", "Readme.txt", "KORAL70 demo release.\r\n"},
      {"1.0", "0", "Reports\\table.css",
       "table { border-collapse: collapse; }\ntd, th { border: 1px solid #888; padding: 2px 6px; }\n"},
      {"2024.05", "0", "VQA\\Data\\vehicles.db", DatabaseBytes(256 * 1024)},
      {"2024.05", "0", "VQA\\Data\\Models\\2024\\models.txt", "KR-100\nKR-200\nKR-300\n"},
      {"1.2", "1", "VQA\\Config\\settings.ini", "[display]\nbrightness=80\n"},
      {"1.0", "0", "Docs\\Release notes.txt", "3.4.0: first demo release.\n"},
  };
}

}  // namespace

bool WriteDemoFolder(const fs::path& folder) {
  bool ok = Write(folder / "accounts.txt",
                  "# serial password state (L: registered, U: not yet registered)\n"
                  "K70000001 demo1234 L\n"
                  "K70000002 demo1234 U\n");
  std::string list = "# tag localdigest path\n";
  for (const DemoFile& file : DemoRelease()) {
    list += std::string(file.tag) + " " + file.localDigest + " " + file.name + "\n";
    std::string relative = file.name;
    for (char& c : relative)
      if (c == '\\') c = '/';
    ok = Write(folder / "release" / "files" / relative, file.content) && ok;
  }
  ok = Write(folder / "release" / "list.txt", list) && ok;
  ok = Write(folder / "manual" / "KORAL70_manual_en.pdf",
             MakeDemoPdf({"KORAL70 User Manual (demo)", "", "1. Insert the SD card.",
                          "2. Start koral70.exe from the card.", "3. Press Start update."})) &&
       ok;
  ok = Write(folder / "policy" / "en.html", DefaultPolicyPage("en")) && ok;
  ok = Write(folder / "policy" / "jp.html", DefaultPolicyPage("jp")) && ok;
  ok = Write(folder / "policy" / "logo.png", DefaultLogo()) && ok;
  return ok;
}

}  // namespace koral_server
