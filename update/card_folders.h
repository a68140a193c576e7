// Folder creation for card files.
#pragma once

#include <vector>

#include "update/update_file_entry.h"

// Creates every folder named by the '\'-separated prefixes of a card-relative
// path (at most its first 248 characters); the last component is the file and
// is not created. Existing folders are fine. 0 on success, 1 on failure.
int CreateParentDirectories(const wchar_t* path);

// Removes what interrupted writes left behind (their temporary files) in the
// card's root and in every folder the list's names lead to.
void RemoveLeftoverTemporaries(const std::vector<UpdateFileEntry>& list);
