// Hostile lists for reliability tests: release/overrides.txt changes fields
// of the "L" answer after it was built from the release, so that an entry
// can announce a name, size or digest that no file of the release has.
#pragma once

#include <string>

#include "server/data_folder.h"

namespace koral_server {

// Lines "<index> name <hex bytes>", "<index> size <decimal>" or
// "<index> md5 <32 hex digits>"; a name is padded with NULs to 248 bytes (so
// it may hold a NUL or no terminator at all). Lines that do not parse or name
// no entry are skipped. Without the file the answer is returned unchanged.
std::string ApplyListOverrides(const DataFolder& folder, std::string answer);

}  // namespace koral_server
