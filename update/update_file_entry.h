// UpdateFileEntry: one file of the update list and one record of the card's
// version file "ver.dat". 284 bytes without padding; nSize is big-endian on
// the wire and native (little-endian) in memory and in "ver.dat".
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/md5_digest.h"

struct UpdateFileEntry {
  char szName[248];  // card-relative path with '\' separators, UTF-8, NUL-terminated
  std::uint32_t nSize;
  unsigned char szTag[15];  // version tag, compared as raw bytes
  unsigned char bLocalDigest;
  unsigned char abDigest[kMd5DigestBytes];
};
static_assert(sizeof(UpdateFileEntry) == 284, "UpdateFileEntry is a 284-byte file record");
static_assert(offsetof(UpdateFileEntry, nSize) == 248);
static_assert(offsetof(UpdateFileEntry, szTag) == 252);
static_assert(offsetof(UpdateFileEntry, bLocalDigest) == 267);
static_assert(offsetof(UpdateFileEntry, abDigest) == 268);

constexpr std::size_t kEntrySize = sizeof(UpdateFileEntry);

// The card's copy of the client, the list's client entry.
constexpr const char* kClientEntryName = "Support\\updater\\koral70.exe";
