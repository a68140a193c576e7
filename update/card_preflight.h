// The check before a pass writes anything: the files it will fetch must fit
// on the card.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "update/update_file_entry.h"

// The bytes the card lacks for the pass's writes at their peak: each fetched
// file is written beside its old copy, which is released only when the new
// one is renamed over it, and the new version file (versionRecords records)
// likewise; sizes count in whole clusters. 0 when everything fits, or when
// the card's free space cannot be told.
std::uint64_t MissingCardSpace(const std::vector<const UpdateFileEntry*>& fetches,
                               std::size_t versionRecords);
