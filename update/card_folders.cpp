#include "update/card_folders.h"

#include <string>

#include "platform/card_file_writer.h"
#include "platform/files.h"
#include "platform/text.h"

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

bool CMissingFolders::IsInMissingFolder(const char* path) {
  const std::string text = path;
  const std::size_t end = text.find_last_of("\\/");
  if (end == std::string::npos) return false;
  const auto [known, added] = m_missing.try_emplace(text.substr(0, end), false);
  if (added && GetFileAttributesW(WideFromUtf8(known->first).c_str()) == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    known->second = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  return known->second;
}
