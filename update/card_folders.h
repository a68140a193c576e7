// Folder creation for card files.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

// The folders one pass has made or found on the card, so that each is made
// only once a pass however many files go into it.
using FolderSet = std::unordered_set<std::wstring>;

// Creates every folder named by the '\'-separated prefixes of a card-relative
// path (at most its first 248 characters); the last component is the file and
// is not created. Existing folders are fine; those in known are not asked
// for again, and known gains the others. 0 on success, 1 on failure.
int CreateParentDirectories(const wchar_t* path, FolderSet* known = nullptr);

// The folders of card paths that do not exist, each asked of the card once:
// the files of a missing folder are missing too, so a look at the card
// before a pass need not look for each of them (on a card, a look for an
// absent name searches its whole folder). It answers for the card as it was
// when first asked.
class CMissingFolders {
 public:
  // Whether the folder holding a card-relative path ('\' or '/') is absent,
  // or a file is where it or a folder above it belongs; false in the root.
  bool IsInMissingFolder(const char* path);

 private:
  std::unordered_map<std::string, bool> m_missing;  // by folder path
};
