#include "update/card_folders.h"

#include "platform/files.h"

namespace {
constexpr int kPathBuffer = 248;
}

int CreateParentDirectories(const wchar_t* path) {
  wchar_t prefix[kPathBuffer + 1] = {};
  for (int i = 0; path[i] != L'\0' && i < kPathBuffer; ++i) {
    if (path[i] == L'\\' && !CreateDirectoryW(prefix, nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      return 1;
    prefix[i] = path[i];
  }
  return 0;
}
