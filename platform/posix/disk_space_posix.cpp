#include "platform/disk_space.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>

#include "platform/files.h"

namespace {
DWORD Capped(unsigned long long value) {
  return static_cast<DWORD>(std::min<unsigned long long>(value, 0xFFFFFFFFull));
}
}  // namespace

BOOL GetDiskFreeSpaceW(LPCWSTR rootPath, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters) {
  struct statvfs fs;
  const std::string native = rootPath && *rootPath ? NativePath(rootPath) : std::string(".");
  if (statvfs(native.c_str(), &fs) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  if (sectorsPerCluster) *sectorsPerCluster = 1;
  if (bytesPerSector) *bytesPerSector = Capped(fs.f_frsize ? fs.f_frsize : fs.f_bsize);
  if (freeClusters) *freeClusters = Capped(fs.f_bavail);
  if (totalClusters) *totalClusters = Capped(fs.f_blocks);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
