#include "server/list_overrides.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace koral_server {
namespace {
constexpr size_t kHeader = 4;
constexpr size_t kEntry = 284;

bool Hex(const std::string& text, std::string& bytes) {
  if (text.size() % 2) return false;
  bytes.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    if (std::sscanf(text.c_str() + i, "%2x", &value) != 1) return false;
    bytes += static_cast<char>(value);
  }
  return true;
}
}  // namespace

std::string ApplyListOverrides(const DataFolder& folder, std::string answer) {
  std::ifstream in(folder.Root() / "release" / "overrides.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    size_t index = 0;
    std::string field, value, bytes;
    if (!(fields >> index >> field >> value)) continue;
    const size_t at = kHeader + kEntry * index;
    if (at + kEntry > answer.size()) continue;
    if (field == "name" && Hex(value, bytes) && bytes.size() <= 248) {
      bytes.resize(248, '\0');
      answer.replace(at, 248, bytes);
    } else if (field == "size") {
      const unsigned long long size = std::strtoull(value.c_str(), nullptr, 10);
      for (int i = 0; i < 4; ++i) answer[at + 248 + i] = static_cast<char>(size >> (24 - 8 * i));
    } else if (field == "md5" && Hex(value, bytes) && bytes.size() == 16) {
      answer.replace(at + 268, 16, bytes);
    }
  }
  return answer;
}

}  // namespace koral_server
