// The update query's answer as a hostile server could send it: the "C"
// recognition and the check and conversion of an "L" list.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/text.h"
#include "query/update_query.h"
#include "update/update_list.h"

namespace {
void CheckConversion(const unsigned char* body, std::uint32_t size) {
  std::vector<UpdateFileEntry> list;
  if (ConvertUpdateList(body, size, list) != ListResult::kOk) {
    if (!list.empty()) std::abort();
    return;
  }
  if (list.size() != ((std::uint32_t{body[2]} << 8) | body[3])) std::abort();
  for (const UpdateFileEntry& entry : list) {
    if (!IsSafeCardName(entry.szName)) std::abort();
    const char* shortName = ShortName(entry.szName);
    if (shortName < entry.szName || shortName > entry.szName + std::strlen(entry.szName)) std::abort();
    // The pass shows the names as wide text.
    (void)WideFromUtf8(entry.szName);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxListReply) return 0;
  const auto length = static_cast<std::uint32_t>(size);
  (void)IsClientUpdateAnswer(data, length);
  CheckConversion(data, length);
  // Most inputs fail the length check; the same bytes with a count that
  // fits their length reach the entries.
  if (size >= 4) {
    const std::uint32_t count = static_cast<std::uint32_t>((size - 4) / kEntrySize) & 0xFFFF;
    std::vector<unsigned char> body(data, data + 4 + kEntrySize * count);
    body[2] = static_cast<unsigned char>(count >> 8);
    body[3] = static_cast<unsigned char>(count);
    CheckConversion(body.data(), static_cast<std::uint32_t>(body.size()));
  }
  return 0;
}
