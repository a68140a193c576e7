#include "fuzz/fuzz_temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {
std::filesystem::path g_dir;

void RemoveDir() {
  std::error_code ignored;
  std::filesystem::remove_all(g_dir, ignored);
}
}  // namespace

void EnterFuzzTempDir() {
  if (!g_dir.empty()) return;
  std::string pattern = (std::filesystem::temp_directory_path() / "koral70-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  g_dir = pattern;
  std::filesystem::current_path(g_dir);
  std::atexit(RemoveDir);
}

void WriteFuzzFile(const char* path, const unsigned char* data, std::size_t size) {
  std::FILE* file = std::fopen(path, "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
}
