// The release as last read, kept between requests: the list, the size and
// digest of every entry and the "L" answer built from them. A login looks at
// list.txt and every content file (their status only) and hashes again only
// what has changed; a file request looks at list.txt alone. So a test may
// change the release between requests and is served the change, while a
// login on an unchanged release reads no content and get.php does not grow
// with the list.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "server/data_folder.h"
#include "server/release_list.h"

namespace koral_server {

// What a file's status says about its content: equal stamps mean unchanged
// content, unless the file was changed too recently to tell (Trusted).
struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::uint64_t inode = 0;
  std::int64_t mtimeNs = 0;
  std::int64_t ctimeNs = 0;

  bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const fs::path& path);

class ReleaseCache {
 public:
  explicit ReleaseCache(const DataFolder& folder) : m_folder(folder) {}

  // The "L" answer for the release as it is now.
  std::string ListAnswer();
  // The entry at index in the list as it is now; nothing past its end.
  std::optional<ReleaseItem> Item(size_t index);

 private:
  // Facts taken from a file, and when: a stamp taken while the file system
  // clock could still give a later change the same times is not relied on.
  struct Remembered {
    FileStamp stamp;
    std::int64_t takenNs = 0;
    bool Trusted(const FileStamp& now) const;
  };
  struct CachedContent {
    Remembered file;
    ListedContent content;
  };

  void RefreshList();  // with m_lock held

  const DataFolder& m_folder;
  std::mutex m_lock;
  bool m_listRead = false;
  Remembered m_listFile;
  std::vector<ReleaseItem> m_items;
  std::unordered_map<std::string, CachedContent> m_contents;  // by content path
  bool m_answerValid = false;
  std::string m_answer;
};

}  // namespace koral_server
