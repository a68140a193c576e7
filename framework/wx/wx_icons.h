// Program icons (HICON image sets) as wx icon bundles.
#pragma once

#include <wx/iconbndl.h>

#include "platform/wintypes.h"

namespace afx::wxui {

// Every image of both icons, each size once; empty when both are null.
wxIconBundle IconBundleOf(HICON big, HICON small);

}  // namespace afx::wxui
