// Folder creation for card files.
#pragma once

// Creates every folder named by the '\'-separated prefixes of a card-relative
// path (at most its first 248 characters); the last component is the file and
// is not created. Existing folders are fine. 0 on success, 1 on failure.
int CreateParentDirectories(const wchar_t* path);
