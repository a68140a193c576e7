#include "server/data_folder.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace koral_server {

bool DataFolder::ReadClientMinVersion(long& version) const {
  std::string text;
  if (!ReadWholeFile(m_root / "client" / "min_version.txt", text)) return false;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str()) return false;
  version = value;
  return true;
}

std::string DataFolder::ManualFileName() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(ManualFolder(), ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string name = it->path().filename().string();
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".pdf") == 0) names.push_back(name);
  }
  if (names.empty()) return "";
  return *std::min_element(names.begin(), names.end());
}

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  bytes = content.str();
  return !in.bad();
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::vector<std::string> lines;
  std::string text;
  if (!ReadWholeFile(path, text)) return lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool IsInside(const fs::path& root, const fs::path& candidate) {
  const fs::path base = fs::absolute(root).lexically_normal();
  const fs::path full = fs::absolute(candidate).lexically_normal();
  auto mismatch = std::mismatch(base.begin(), base.end(), full.begin(), full.end());
  // A trailing empty element (from a trailing '/') of base matches anything.
  for (auto it = mismatch.first; it != base.end(); ++it)
    if (!it->empty()) return false;
  return true;
}

}  // namespace koral_server
