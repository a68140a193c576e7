#include "platform/card_file_writer.h"

#include <cstdio>
#include <cstring>
#include <random>

#include "platform/card_paths.h"

namespace {
// ".koral70-" + 8 hex digits + ".tmp": 21 bytes whatever the target's name,
// so a target of the longest name a folder can hold still has a temporary.
constexpr char kTemporaryPrefix[] = ".koral70-";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr std::size_t kTemporaryDigits = 8;
constexpr std::size_t kTemporaryLength = sizeof kTemporaryPrefix - 1 + kTemporaryDigits + sizeof kTemporarySuffix - 1;
}  // namespace

namespace card_paths {

std::string TemporaryName() {
  thread_local std::mt19937 random{std::random_device{}()};
  char digits[kTemporaryDigits + 1];
  std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(random()));
  return std::string(kTemporaryPrefix) + digits + kTemporarySuffix;
}

bool SplitCardPath(const char* path, std::vector<std::string>& folders, std::string& leaf) {
  std::string text(path ? path : "");
  for (char& c : text)
    if (c == '\\') c = '/';
  if (text.empty() || text[0] == '/') return false;
#ifdef _WIN32
  // A drive ("C:") or a stream ("name:stream") is not a card file.
  if (text.find(':') != std::string::npos) return false;
#endif
  folders.clear();
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = text.find('/', start);
    const std::string part = text.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (part.empty() || part == "..") return false;
    if (slash == std::string::npos) {
      leaf = part;
      return part != ".";
    }
    if (part != ".") folders.push_back(part);
    start = slash + 1;
  }
}

}  // namespace card_paths

bool WriteCardFile(const char* path, const void* data, std::size_t size) {
  CCardFileWriter writer;
  return writer.Open(path) && writer.Write(data, size) && writer.Commit();
}

bool IsCardTemporaryName(const char* name) {
  const std::size_t prefix = sizeof kTemporaryPrefix - 1;
  if (std::strlen(name) != kTemporaryLength || std::strncmp(name, kTemporaryPrefix, prefix) != 0 ||
      std::strcmp(name + prefix + kTemporaryDigits, kTemporarySuffix) != 0)
    return false;
  for (std::size_t i = prefix; i < prefix + kTemporaryDigits; ++i)
    if (!std::strchr("0123456789abcdef", name[i])) return false;
  return true;
}
