#include "update/update_list.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace {
constexpr std::uint32_t kMinListReply = 30;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The names Windows keeps for devices: a file or folder of that name, with
// any extension, opens the device instead.
bool IsDeviceName(std::string_view part) {
  const std::string_view base = part.substr(0, part.find('.'));
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  std::string name;
  for (char c : base) name += upper(c);
  if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL") return true;
  return name.size() == 4 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "LPT") == 0) &&
         name[3] >= '1' && name[3] <= '9';
}

// A name component a card formatted by Windows (FAT32, exFAT) can hold.
bool IsCardComponent(std::string_view part) {
  if (part.empty() || part == "." || part == "..") return false;
  for (char c : part)
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr(":*?\"<>|", c)) return false;
  if (part.back() == '.' || part.back() == ' ') return false;
  return !IsDeviceName(part);
}
}  // namespace

const char* ShortName(const char* name) {
  const char* shortName = std::strrchr(name, '\\');
  return shortName ? shortName + 1 : name;
}

bool IsSafeCardName(const char (&name)[248]) {
  const void* end = std::memchr(name, '\0', sizeof name);
  if (!end) return false;
  const std::string_view path(name, static_cast<const char*>(end) - name);
  if (path.empty()) return false;
  size_t start = 0;
  for (;;) {
    size_t stop = start;
    while (stop < path.size() && !IsSeparator(path[stop])) ++stop;
    if (!IsCardComponent(path.substr(start, stop - start))) return false;
    if (stop == path.size()) return true;
    start = stop + 1;
  }
}

bool CUpdateListSink::Write(const unsigned char* data, std::size_t size) {
  if (size == 0) return true;
  m_nBytes += size;
  // Any answer but a list is kept whole, a list's header until it is complete.
  std::size_t keep = size;
  if (m_kept.empty() ? data[0] == 'L' : IsList())
    keep = m_kept.size() >= kListHeaderBytes ? 0 : std::min<std::size_t>(size, kListHeaderBytes - m_kept.size());
  m_kept.insert(m_kept.end(), data, data + keep);
  data += keep;
  size -= keep;
  if (keep > 0 && IsList() && m_kept.size() == kListHeaderBytes) {
    m_nCount = (static_cast<std::uint32_t>(m_kept[2]) << 8) | m_kept[3];
    try {
      m_list.reserve(m_nCount);
    } catch (const std::bad_alloc&) {
      m_failure = ListResult::kNoMemory;
    }
  }
  while (size > 0) {
    const std::size_t take = std::min(size, kEntrySize - m_nRecordBytes);
    std::memcpy(m_record + m_nRecordBytes, data, take);
    m_nRecordBytes += take;
    data += take;
    size -= take;
    if (m_nRecordBytes == kEntrySize) TakeRecord();
  }
  return true;
}

void CUpdateListSink::TakeRecord() {
  m_nRecordBytes = 0;
  if (m_failure != ListResult::kOk) return;
  if (m_list.size() == m_nCount) {
    m_failure = ListResult::kBadLength;
    return;
  }
  // The wire record has the memory record's layout, nSize big-endian.
  UpdateFileEntry& entry = m_list.emplace_back();
  std::memcpy(&entry, m_record, kEntrySize);
  const unsigned char* wireSize = m_record + offsetof(UpdateFileEntry, nSize);
  entry.nSize = (static_cast<std::uint32_t>(wireSize[0]) << 24) | (static_cast<std::uint32_t>(wireSize[1]) << 16) |
                (static_cast<std::uint32_t>(wireSize[2]) << 8) | wireSize[3];
  if (!IsSafeCardName(entry.szName)) m_failure = ListResult::kUnsafeName;
}

void CUpdateListSink::Restart() {
  m_list.clear();
  m_kept.clear();
  m_nRecordBytes = 0;
  m_nBytes = 0;
  m_nCount = 0;
  m_failure = ListResult::kOk;
}

ListResult CUpdateListSink::Finish() {
  ListResult result = m_failure;
  if (m_nBytes < kMinListReply)
    result = ListResult::kTooShort;
  else if (!IsList() || m_nBytes != kListHeaderBytes + std::uint64_t{kEntrySize} * m_nCount)
    result = ListResult::kBadLength;
  if (result != ListResult::kOk) m_list.clear();
  return result;
}

ListResult ConvertUpdateList(const unsigned char* body, std::uint32_t size,
                             std::vector<UpdateFileEntry>& list) {
  CUpdateListSink sink(list);
  sink.Restart();
  sink.Write(body, size);
  return sink.Finish();
}
