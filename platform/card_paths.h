// What both card-file writers (POSIX and Win32) share: the temporary names
// and the split of a card-relative path into the folders to walk.
#pragma once

#include <string>
#include <vector>

namespace card_paths {

// Tries at creating a temporary before the writer gives up.
constexpr int kTemporaryAttempts = 16;

// A fresh temporary name for a file in a card folder.
std::string TemporaryName();

// Splits a card-relative path ('\' or '/') into its folders and its last
// component. False for an absolute path, an empty name or a ".." component,
// and on Windows for a drive or stream name.
bool SplitCardPath(const char* path, std::vector<std::string>& folders, std::string& leaf);

}  // namespace card_paths
