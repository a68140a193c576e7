#pragma once

#include <cstdint>

// The size of a card file in bytes (UTF-8 path, '\' or '/'); -1 when it
// cannot be examined.
std::int64_t QueryFileSize(const char* path);
