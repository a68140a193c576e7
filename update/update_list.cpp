#include "update/update_list.h"

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

ListResult ConvertUpdateList(const unsigned char* body, std::uint32_t size,
                             std::vector<UpdateFileEntry>& list) {
  list.clear();
  if (size < kMinListReply) return ListResult::kTooShort;
  const std::uint32_t count = (static_cast<std::uint32_t>(body[2]) << 8) | body[3];
  if (size != kListHeaderBytes + kEntrySize * count) return ListResult::kBadLength;
  try {
    list.resize(count);
  } catch (const std::bad_alloc&) {
    return ListResult::kNoMemory;
  }
  // The wire record has the memory record's layout, nSize big-endian.
  for (std::uint32_t i = 0; i < count; ++i) {
    const unsigned char* wire = body + kListHeaderBytes + kEntrySize * i;
    UpdateFileEntry& entry = list[i];
    std::memcpy(entry.szName, wire, sizeof entry.szName);
    const unsigned char* wireSize = wire + offsetof(UpdateFileEntry, nSize);
    entry.nSize = (static_cast<std::uint32_t>(wireSize[0]) << 24) |
                  (static_cast<std::uint32_t>(wireSize[1]) << 16) |
                  (static_cast<std::uint32_t>(wireSize[2]) << 8) | wireSize[3];
    std::memcpy(entry.szTag, wire + offsetof(UpdateFileEntry, szTag), sizeof entry.szTag);
    entry.bLocalDigest = wire[offsetof(UpdateFileEntry, bLocalDigest)];
    std::memcpy(entry.abDigest, wire + offsetof(UpdateFileEntry, abDigest), sizeof entry.abDigest);
    if (!IsSafeCardName(entry.szName)) {
      list.clear();
      return ListResult::kUnsafeName;
    }
  }
  return ListResult::kOk;
}
