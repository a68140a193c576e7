// Numbers as the count line and the pass's summary show them.
#pragma once

#include <cstdint>

#include "framework/cstring.h"

// Megabytes (of 1,048,576 bytes) with one decimal: "12.3".
CString MegabytesText(std::uint64_t bytes);
// A size as people read it: "728 B" below a kilobyte, "12.5 KB" below a
// megabyte, else "12.0 MB".
CString SizeText(std::uint64_t bytes);
// A duration as minutes and seconds, "0:23", or with hours, "1:02:03".
CString DurationText(std::uint64_t seconds);
