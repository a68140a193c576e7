// The data folder the server answers from, and the plain file reading it
// needs. Everything is read at the time of the request that needs it (the
// release through a cache that notices changes), so a test may change the
// folder between requests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace koral_server {

namespace fs = std::filesystem;

class DataFolder {
 public:
  explicit DataFolder(fs::path root) : m_root(std::move(root)) {}

  const fs::path& Root() const { return m_root; }
  fs::path AccountsFile() const { return m_root / "accounts.txt"; }
  fs::path ReleaseListFile() const { return m_root / "release" / "list.txt"; }
  fs::path ReleaseFilesRoot() const { return m_root / "release" / "files"; }
  fs::path ClientExecutable() const { return m_root / "client" / "koral70.exe"; }
  fs::path ManualFolder() const { return m_root / "manual"; }
  fs::path PolicyFile(const std::string& name) const { return m_root / "policy" / name; }
  fs::path ReceivedRoot() const { return m_root / "received"; }

  // The number in client/min_version.txt; false when there is none.
  bool ReadClientMinVersion(long& version) const;
  // The manual PDF's file name (the first *.pdf by name), "" when none.
  std::string ManualFileName() const;

 private:
  fs::path m_root;
};

bool ReadWholeFile(const fs::path& path, std::string& bytes);
// The file's lines without their line ends; empty when it cannot be read.
std::vector<std::string> ReadLines(const fs::path& path);
// Lexically (no symlinks followed): does candidate lie inside root?
bool IsInside(const fs::path& root, const fs::path& candidate);

}  // namespace koral_server
