#include "server/received_store.h"

#include <unistd.h>

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

namespace {

// Removes folder and its parents up to firstMade, innermost first, as long as
// they are empty; a folder that has gained other files stays.
void RemoveEmptyFolders(fs::path folder, const fs::path& firstMade) {
  if (firstMade.empty()) return;
  std::error_code ec;
  while (fs::remove(folder, ec) && folder != firstMade) folder = folder.parent_path();
}

}  // namespace

IncomingFile::~IncomingFile() {
  if (m_file) std::fclose(m_file);
  if (m_kept) return;
  std::lock_guard<std::mutex> guard(m_lock);
  std::error_code ec;
  fs::remove(m_temporary, ec);
  RemoveEmptyFolders(m_folder, m_firstMade);
}

void IncomingFile::Write(const char* data, std::size_t size) {
  if (!m_failed && std::fwrite(data, 1, size, m_file) != size) m_failed = true;
}

bool IncomingFile::Keep(const std::string& name) {
  if (!IsSafeName(name) || m_failed) return false;
  const bool closed = std::fclose(m_file) == 0;
  m_file = nullptr;
  std::error_code ec;
  if (closed) fs::rename(m_temporary, m_folder / name, ec);
  m_kept = closed && !ec;
  return m_kept;
}

std::unique_ptr<IncomingFile> ReceivedStore::Receive(const fs::path& folder) {
  fs::path path = (m_root / folder).lexically_normal();
  if (!path.has_filename()) path = path.parent_path();  // a trailing separator
  if (folder.is_absolute() || !IsInside(m_root, path)) return nullptr;
  std::lock_guard<std::mutex> guard(m_lock);
  std::error_code ec;
  fs::path firstMade;
  for (fs::path missing = path; !fs::exists(missing, ec) && missing.has_relative_path();
       missing = missing.parent_path())
    firstMade = missing;
  fs::create_directories(path, ec);
  // Hidden, and numbered by process and arrival, so that it names no log
  // and no other upload's temporary file.
  const fs::path temporary =
      path / (".incoming-" + std::to_string(getpid()) + "-" + std::to_string(++m_incoming));
  FILE* file = std::fopen(temporary.c_str(), "wbx");
  if (!file) {
    RemoveEmptyFolders(path, firstMade);
    return nullptr;
  }
  return std::make_unique<IncomingFile>(m_lock, path, firstMade, temporary, file);
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
