#include "update/card_preflight.h"

#include <algorithm>
#include <limits>

#include "platform/disk_space.h"
#include "update/file_size.h"
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

std::uint64_t MissingCardSpace(const std::vector<const UpdateFileEntry*>& fetches,
                               std::size_t versionRecords) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceW(L".", &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
    return 0;
  const std::int64_t cluster = std::max<std::int64_t>(1, std::int64_t{sectorsPerCluster} * bytesPerSector);
  const std::int64_t available = std::int64_t{freeClusters} * cluster;

  // used: what the pass has added to the card so far; peak: its highest
  // point, reached while a new file exists beside the old one.
  std::int64_t used = 0, peak = 0;
  auto replace = [&](std::int64_t newBytes, std::int64_t oldBytes) {
    peak = std::max(peak, used + Clusters(newBytes, cluster));
    used += Clusters(newBytes, cluster) - Clusters(oldBytes, cluster);
  };
  for (const UpdateFileEntry* entry : fetches) replace(entry->nSize, QueryFileSize(entry->szName));
  replace(static_cast<std::int64_t>(versionRecords * kEntrySize), QueryFileSize(kVersionFileName));
  return peak > available ? static_cast<std::uint64_t>(peak - available) : 0;
}
