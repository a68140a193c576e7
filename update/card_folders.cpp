#include "update/card_folders.h"

#include <set>
#include <string>

#include "platform/card_file_writer.h"
#include "platform/files.h"
#include "platform/text.h"
#include "update/update_list.h"

namespace {
constexpr int kPathBuffer = 248;
}

int CreateParentDirectories(const wchar_t* path, FolderSet* known) {
  wchar_t prefix[kPathBuffer + 1] = {};
  for (int i = 0; path[i] != L'\0' && i < kPathBuffer; ++i) {
    if (path[i] == L'\\' && !(known && known->count(prefix))) {
      // Folders are made one level at a time from the card's root, never
      // through a linked folder.
      if (!CreateCardDirectory(Utf8FromWide(prefix).c_str()) && GetLastError() != ERROR_ALREADY_EXISTS) return 1;
      if (known) known->insert(prefix);
    }
    prefix[i] = path[i];
  }
  return 0;
}

void RemoveLeftoverTemporaries(const std::vector<UpdateFileEntry>& list) {
  std::set<std::string> folders = {"."};
  for (const UpdateFileEntry& entry : list) {
    const char* shortName = ShortName(entry.szName);
    if (shortName != entry.szName) folders.emplace(entry.szName, shortName - 1 - entry.szName);
  }
  for (const std::string& folder : folders) RemoveCardTemporaries(folder.c_str());
}
