#include "server/release_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>

namespace koral_server {
namespace {

// File times come from a clock that may lag the real one by a tick; a change
// within this margin of a stamp could leave the times as they were.
constexpr std::int64_t kRacyMarginNs = 2'000'000'000;

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

std::int64_t NowNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

}  // namespace

FileStamp StampOf(const fs::path& path) {
  struct stat status {};
  FileStamp stamp;
  if (::stat(path.c_str(), &status) != 0) return stamp;
  stamp.exists = true;
  stamp.size = S_ISREG(status.st_mode) ? static_cast<std::uint64_t>(status.st_size) : 0;
  stamp.inode = static_cast<std::uint64_t>(status.st_ino);
  stamp.mtimeNs = Nanoseconds(status.st_mtim);
  stamp.ctimeNs = Nanoseconds(status.st_ctim);
  return stamp;
}

bool ReleaseCache::Remembered::Trusted(const FileStamp& now) const {
  return now == stamp && std::max(stamp.mtimeNs, stamp.ctimeNs) + kRacyMarginNs < takenNs;
}

void ReleaseCache::RefreshList() {
  const std::int64_t takenNs = NowNs();
  const FileStamp stamp = StampOf(m_folder.ReleaseListFile());
  if (m_listRead && m_listFile.Trusted(stamp)) return;
  m_items = ReadReleaseList(m_folder);
  m_listFile = {stamp, takenNs};
  m_listRead = true;
  m_answerValid = false;
}

std::string ReleaseCache::ListAnswer() {
  std::lock_guard<std::mutex> guard(m_lock);
  RefreshList();
  std::unordered_map<std::string, CachedContent> kept;
  std::vector<ListedContent> contents;
  contents.reserve(m_items.size());
  bool changed = !m_answerValid;
  for (const ReleaseItem& item : m_items) {
    const std::int64_t takenNs = NowNs();
    const FileStamp stamp = StampOf(item.content);
    auto known = m_contents.find(item.content.native());
    CachedContent cached;
    if (known != m_contents.end() && known->second.file.Trusted(stamp)) {
      cached = known->second;
    } else {
      cached = {{stamp, takenNs}, ReadListedContent(item)};
      changed = changed || known == m_contents.end() ||
                cached.content.size != known->second.content.size ||
                cached.content.digest != known->second.content.digest;
    }
    contents.push_back(cached.content);
    kept.insert_or_assign(item.content.native(), cached);
  }
  m_contents = std::move(kept);
  if (changed) m_answer = BuildListAnswer(m_items, contents);
  m_answerValid = true;
  return m_answer;
}

std::optional<ReleaseItem> ReleaseCache::Item(size_t index) {
  std::lock_guard<std::mutex> guard(m_lock);
  RefreshList();
  if (index >= m_items.size()) return std::nullopt;
  return m_items[index];
}

}  // namespace koral_server
