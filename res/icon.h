#pragma once

#include <vector>

#include "framework/resources.h"

// The four images of the program icon: 16, 24, 32 and 48 pixels.
std::vector<IconImage> RenderMainIcon();
