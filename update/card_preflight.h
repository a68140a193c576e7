// The check before a pass writes anything: the files it will fetch must fit
// on the card.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>


// A file the pass writes: its size, and that of the copy it replaces, which
// stays beside it until the new one is renamed over it (0 or less: none).
struct CardWrite {
  std::int64_t newBytes = 0;
  std::int64_t oldBytes = 0;
};

// The card's free space and the size of its clusters, as its file system
// tells them.
struct CardSpace {
  std::int64_t clusterBytes = 1;
  std::int64_t freeBytes = 0;
};

// The bytes card lacks for files, written in order, then for the version
// file, at the writes' peak; every size counts in whole clusters. 0 when
// everything fits.
std::uint64_t MissingSpace(const std::vector<CardWrite>& files, CardWrite versionFile, CardSpace card);

// MissingSpace for the fetched files and a new version file of
// versionRecords records, on the card in the current directory. 0 also when
// the card's free space cannot be told.
std::uint64_t MissingCardSpace(const std::vector<CardWrite>& fetches, std::size_t versionRecords);
