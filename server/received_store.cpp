#include "server/received_store.h"

#include <fstream>

namespace koral_server {

bool IsSafeName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

bool IsSafeRelativeFolder(const std::string& folder) {
  if (folder.empty()) return true;
  if (folder[0] == '/' || folder[0] == '\\') return false;
  if (folder.size() >= 2 && folder[1] == ':') return false;
  size_t start = 0;
  while (start <= folder.size()) {
    size_t end = folder.find_first_of("/\\", start);
    if (end == std::string::npos) end = folder.size();
    const std::string part = folder.substr(start, end - start);
    if (!part.empty() && !IsSafeName(part)) return false;
    start = end + 1;
  }
  return true;
}

bool ReceivedStore::AppendLine(const std::string& file, const std::string& line) {
  std::lock_guard<std::mutex> guard(m_lock);
  std::error_code ec;
  fs::create_directories(m_root, ec);
  std::ofstream out(m_root / file, std::ios::binary | std::ios::app);
  out << line << '\n';
  return static_cast<bool>(out.flush());
}

bool ReceivedStore::WriteFile(const fs::path& relative, const std::string& bytes) {
  const fs::path path = m_root / relative;
  if (relative.is_absolute() || !IsInside(m_root, path) || path.lexically_normal() == m_root.lexically_normal())
    return false;
  std::lock_guard<std::mutex> guard(m_lock);
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace koral_server
