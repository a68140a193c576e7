// The save dialog's file-type filter and default extension, converted from
// the Windows forms to what the wx file dialog takes and gives.
#pragma once

#include <string>

namespace afx {

// "PDF Document (*.pdf)|*.pdf||" (description|pattern pairs, ended by an
// empty pair) becomes the wx wildcard "PDF Document (*.pdf)|*.pdf". An empty
// filter offers every file.
std::wstring WildcardFromFilter(const std::wstring& filter);

// Appends ".ext" to a chosen path whose file name has no extension, as the
// Windows save dialog does with its default extension.
std::wstring PathWithDefaultExtension(const std::wstring& path, const std::wstring& extension);

}  // namespace afx
