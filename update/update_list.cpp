#include "update/update_list.h"

#include <cstring>
#include <new>
#include <string_view>

namespace {
constexpr std::uint32_t kMinListReply = 30;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
}  // namespace

const char* ShortName(const char* name) {
  const char* shortName = std::strrchr(name, '\\');
  return shortName ? shortName + 1 : name;
}

bool IsSafeCardName(const char (&name)[248]) {
  const void* end = std::memchr(name, '\0', sizeof name);
  if (!end) return false;
  const std::string_view path(name, static_cast<const char*>(end) - name);
  if (path.empty() || path.find(':') != std::string_view::npos) return false;
  size_t start = 0;
  for (;;) {
    size_t stop = start;
    while (stop < path.size() && !IsSeparator(path[stop])) ++stop;
    const std::string_view part = path.substr(start, stop - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (stop == path.size()) return true;
    start = stop + 1;
  }
}

ListResult ConvertUpdateList(const unsigned char* body, std::uint32_t size,
                             std::vector<UpdateFileEntry>& list) {
  list.clear();
  if (size < kMinListReply) return ListResult::kTooShort;
  const std::uint32_t count = (static_cast<std::uint32_t>(body[2]) << 8) | body[3];
  if (size != 4 + kEntrySize * count) return ListResult::kBadLength;
  try {
    list.resize(count);
  } catch (const std::bad_alloc&) {
    return ListResult::kNoMemory;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    const unsigned char* wire = body + 4 + kEntrySize * i;
    UpdateFileEntry& entry = list[i];
    std::memcpy(entry.szName, wire, sizeof entry.szName);
    entry.nSize = (static_cast<std::uint32_t>(wire[248]) << 24) |
                  (static_cast<std::uint32_t>(wire[249]) << 16) |
                  (static_cast<std::uint32_t>(wire[250]) << 8) | wire[251];
    std::memcpy(entry.szTag, wire + 252, sizeof entry.szTag);
    entry.bLocalDigest = wire[267];
    std::memcpy(entry.abDigest, wire + 268, sizeof entry.abDigest);
    if (!IsSafeCardName(entry.szName)) {
      list.clear();
      return ListResult::kUnsafeName;
    }
  }
  return ListResult::kOk;
}
