#pragma once

#include <string>
#include <vector>

#include "framework/resources.h"

// The bytes of a Windows .ico file holding the images: one 32-bit image with
// its alpha channel per size, and the transparency mask for old readers.
std::string IcoFileOf(const std::vector<IconImage>& images);
