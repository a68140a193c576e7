#include "platform/mounted_cards.h"

#include <windows.h>

std::vector<std::wstring> RemovableMediaRoots() {
  std::vector<std::wstring> roots;
  // "C:\", "E:\", ... one after the other, each ended by a NUL.
  wchar_t drives[512] = {};
  const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(drives) - 1), drives);
  if (length == 0 || length >= std::size(drives)) return roots;
  for (const wchar_t* drive = drives; *drive; drive += wcslen(drive) + 1)
    if (GetDriveTypeW(drive) == DRIVE_REMOVABLE) roots.emplace_back(drive);
  return roots;
}
