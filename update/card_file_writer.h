// Writes a whole card file so that a failure never leaves a half-written file
// under its name: the bytes go to a temporary file beside it, every write and
// the close are checked, and only then is it renamed over the old file.
#pragma once

#include <cstddef>

// The temporary file's name is the target's with this suffix.
constexpr const char* kPartialSuffix = ".koral70-part";

// path is UTF-8 and card-relative or absolute. True when the file now holds
// exactly the bytes; on false the old file (if any) is unchanged and the
// temporary file is gone.
bool WriteCardFile(const char* path, const void* data, std::size_t size);
