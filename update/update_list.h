// The "L" answer of the update query: checked and converted into the
// in-memory list of UpdateFileEntry records.
#pragma once

#include <cstdint>
#include <vector>

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

// Checks the answer and converts its entries (nSize from big-endian) into
// list, in order. list is left empty unless the result is kOk.
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
