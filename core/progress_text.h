// Numbers as the count line and the pass's summary show them.
#pragma once

#include <cstdint>

#include "framework/cstring.h"

// Megabytes (of 1,048,576 bytes) with one decimal: "12.3".
CString MegabytesText(std::uint64_t bytes);
// A duration as minutes and seconds, "0:23", or with hours, "1:02:03".
CString DurationText(std::uint64_t seconds);
