// Folder creation for card files.
#pragma once

#include <string>
#include <unordered_set>

// The folders one pass has made or found on the card, so that each is made
// only once a pass however many files go into it.
using FolderSet = std::unordered_set<std::wstring>;

// Creates every folder named by the '\'-separated prefixes of a card-relative
// path (at most its first 248 characters); the last component is the file and
// is not created. Existing folders are fine; those in known are not asked
// for again, and known gains the others. 0 on success, 1 on failure.
int CreateParentDirectories(const wchar_t* path, FolderSet* known = nullptr);
