#include "update/card_preflight.h"

#include <algorithm>
#include <limits>

#include "platform/disk_space.h"
#include "update/file_size.h"
#include "update/update_file_entry.h"
#include "update/version_file.h"

namespace {
// The largest file FAT32 holds. nSize is 32 bits wide, so no list entry can
// announce a file the card's file system cannot take.
constexpr std::uint64_t kLargestCardFile = 0xFFFFFFFFull;
static_assert(std::numeric_limits<decltype(UpdateFileEntry::nSize)>::max() <= kLargestCardFile);

std::int64_t Clusters(std::int64_t bytes, std::int64_t cluster) {
  return bytes <= 0 ? 0 : (bytes + cluster - 1) / cluster * cluster;
}
}  // namespace

std::uint64_t MissingSpace(const std::vector<CardWrite>& files, CardWrite versionFile, CardSpace card) {
  const std::int64_t cluster = std::max<std::int64_t>(1, card.clusterBytes);
  // used: what the pass has added to the card so far; peak: its highest
  // point, reached while a new file exists beside the old one.
  std::int64_t used = 0, peak = 0;
  auto write = [&](const CardWrite& file) {
    peak = std::max(peak, used + Clusters(file.newBytes, cluster));
    used += Clusters(file.newBytes, cluster) - Clusters(file.oldBytes, cluster);
  };
  for (const CardWrite& file : files) write(file);
  write(versionFile);
  return peak > card.freeBytes ? static_cast<std::uint64_t>(peak - card.freeBytes) : 0;
}

std::uint64_t MissingCardSpace(const std::vector<CardWrite>& fetches, std::size_t versionRecords) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceW(L".", &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
    return 0;
  CardSpace card;
  card.clusterBytes = std::max<std::int64_t>(1, std::int64_t{sectorsPerCluster} * bytesPerSector);
  card.freeBytes = std::int64_t{freeClusters} * card.clusterBytes;
  const CardWrite versionFile{static_cast<std::int64_t>(versionRecords * kEntrySize),
                              QueryFileSize(kVersionFileName)};
  return MissingSpace(fetches, versionFile, card);
}
