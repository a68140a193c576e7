#pragma once

#include <vector>

#include "framework/resources.h"

// The images of the program icon that its windows are given: 16, 24, 32 and
// 48 pixels.
std::vector<IconImage> RenderMainIcon();
// The same artwork at each size the Windows program's icon resource holds,
// for every scale Windows draws icons at (100 to 200 %, and Explorer's 256).
std::vector<IconImage> RenderProgramFileIcon();
