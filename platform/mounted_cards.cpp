#include "platform/mounted_cards.h"

#include <algorithm>

#include "platform/files.h"

namespace {
#ifdef _WIN32
constexpr wchar_t kSeparator = L'\\';
#else
constexpr wchar_t kSeparator = L'/';
#endif

std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
  const bool ended = !folder.empty() && (folder.back() == L'/' || folder.back() == L'\\');
  return ended ? folder + name : folder + kSeparator + name;
}

bool HoldsCredentials(const std::wstring& folder) {
  return IsRegularFileW(Joined(folder, L"pass.ini").c_str());
}

bool IsRealFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::vector<std::wstring> FoldersIn(const std::wstring& root) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(Joined(root, L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L".." && IsRealFolder(Joined(root, name))) names.push_back(name);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}
}  // namespace

std::vector<std::wstring> FindMountedCards(const std::vector<std::wstring>& roots) {
  std::vector<std::wstring> cards;
  for (const std::wstring& root : roots) {
    if (HoldsCredentials(root)) {
      cards.push_back(root);
      continue;
    }
    for (const std::wstring& name : FoldersIn(root))
      if (HoldsCredentials(Joined(root, name))) cards.push_back(Joined(root, name));
  }
  return cards;
}
