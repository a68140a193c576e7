#include "tests/support/temp_card.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace testing_support {
namespace {
// Paths in tests are UTF-8, on Windows too.
fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
}  // namespace

TempCard::TempCard(const std::string& base) {
  m_path = MakeUniqueFolder(base.empty() ? fs::temp_directory_path().string() : base, "koral70-card-");
  m_previous = fs::current_path().string();
  fs::current_path(m_path);
}

TempCard::~TempCard() {
  std::error_code ignored;
  fs::current_path(m_previous, ignored);
  fs::remove_all(m_path, ignored);
}

void TempCard::Write(const std::string& relative, const std::string& bytes) const {
  WriteFile(m_path + "/" + relative, bytes);
}
std::string TempCard::Read(const std::string& relative) const {
  return ReadFile(m_path + "/" + relative);
}
bool TempCard::Exists(const std::string& relative) const {
  return FileExists(m_path + "/" + relative);
}

std::string MakeUniqueFolder(std::string root, const std::string& prefix) {
  while (root.size() > 1 && (root.back() == '/' || root.back() == '\\')) root.pop_back();
#ifdef _WIN32
  std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = root + "\\" + prefix + std::to_string(random() % 1000000000);
    std::error_code error;
    if (fs::create_directory(path, error)) return path;
  }
  return "";
#else
  std::string pattern = root + "/" + prefix + "XXXXXX";
  char* made = mkdtemp(pattern.data());
  return made ? made : "";
#endif
}

void WriteFile(const std::string& path, const std::string& bytes) {
  const fs::path p = PathOf(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(PathOf(path), ignored));
}

void RemoveTree(const std::string& path) {
  std::error_code ignored;
  fs::remove_all(PathOf(path), ignored);
}

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(PathOf(folder))) names.push_back(item.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace testing_support
