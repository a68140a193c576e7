// The update query's answer as a hostile server could send it: the "C"
// recognition and the check and conversion of an "L" list.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/text.h"
#include "query/update_query.h"
#include "update/update_list.h"

namespace {
// The answer taken in pieces as it arrives must come out as the whole one.
void CheckPieces(const unsigned char* body, std::uint32_t size, ListResult whole,
                 const std::vector<UpdateFileEntry>& wholeList) {
  std::vector<UpdateFileEntry> list;
  CUpdateListSink sink(list);
  const std::uint32_t piece = size > 1 ? 1 + body[1] % 300u : 1;
  for (std::uint32_t at = 0; at < size; at += piece) sink.Write(body + at, std::min(piece, size - at));
  if (sink.Finish() != whole || list.size() != wholeList.size() ||
      (!list.empty() && std::memcmp(list.data(), wholeList.data(), list.size() * kEntrySize) != 0))
    std::abort();
}

void CheckConversion(const unsigned char* body, std::uint32_t size) {
  std::vector<UpdateFileEntry> list;
  const ListResult result = ConvertUpdateList(body, size, list);
  CheckPieces(body, size, result, list);
  if (result != ListResult::kOk) {
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
    body[0] = 'L';
    body[2] = static_cast<unsigned char>(count >> 8);
    body[3] = static_cast<unsigned char>(count);
    CheckConversion(body.data(), static_cast<std::uint32_t>(body.size()));
  }
  return 0;
}
