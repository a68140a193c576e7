// The "L" answer of the update query: checked and converted into the
// in-memory list of UpdateFileEntry records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "query/update_query.h"
#include "update/update_file_entry.h"

enum class ListResult {
  kOk,
  kTooShort,    // under 30 bytes: not even one entry
  kBadLength,   // not 4 + 284 x count bytes
  kUnsafeName,  // a name that would leave the card's root folder
  kNoMemory,
};

// The answer's header: "L", a byte of no meaning, the entry count (16 bits,
// big-endian).
constexpr std::uint32_t kListHeaderBytes = 4;
// The longest answer the query accepts: a count of 65535 entries.
constexpr std::uint64_t kMaxListReply = kListHeaderBytes + std::uint64_t{kEntrySize} * 65535;

// Takes the update query's answer as it arrives: an "L" answer's entries go
// straight into list (nSize from big-endian), in order, so that the answer
// is never held beside the list; any other answer is kept whole.
class CUpdateListSink : public CQueryAnswerSink {
 public:
  explicit CUpdateListSink(std::vector<UpdateFileEntry>& list) : m_list(list) {}
  bool Write(const unsigned char* data, std::size_t size) override;
  void Restart() override;
  // The whole answer when it is no list; a list's header.
  std::span<const unsigned char> Kept() const override { return m_kept; }
  // After an "L" answer's transfer: whether it was a whole list of safe
  // names. list is left empty unless the result is kOk.
  ListResult Finish();

 private:
  bool IsList() const { return !m_kept.empty() && m_kept[0] == 'L'; }
  // Converts the record just received, unless the list already failed.
  void TakeRecord();

  std::vector<UpdateFileEntry>& m_list;
  std::vector<unsigned char> m_kept;
  unsigned char m_record[kEntrySize] = {};  // the record being received
  std::size_t m_nRecordBytes = 0;
  std::uint64_t m_nBytes = 0;  // of the whole answer
  std::uint32_t m_nCount = 0;  // the header's
  ListResult m_failure = ListResult::kOk;
};

// Checks a whole "L" answer and converts its entries, as CUpdateListSink.
ListResult ConvertUpdateList(const unsigned char* body, std::uint32_t size,
                             std::vector<UpdateFileEntry>& list);

// True when a list name is a plain card-relative path that a card formatted
// by Windows can hold: NUL-terminated within its 248 bytes, not empty, not
// absolute (no leading separator, no drive), without empty, "." or ".."
// components ('\' and '/' both separate), without control characters or any
// of : * ? " < > |, no component ending in a dot or a blank, and no device
// name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension).
bool IsSafeCardName(const char (&name)[248]);

// The part of a list name after its last '\' (the whole name without one).
const char* ShortName(const char* name);
