#pragma once

#include <string>
#include <vector>

#include "framework/resources.h"

// The bytes of a Windows .ico file holding the images: one 32-bit image with
// its alpha channel per size, and the transparency mask for old readers; an
// image of 256 pixels is stored as PNG, as Windows expects at that size.
std::string IcoFileOf(const std::vector<IconImage>& images);
