// Free space of the file system that holds a folder.
#pragma once

#include "platform/wintypes.h"

// As on Windows: the cluster size as sectors per cluster times bytes per
// sector, and the clusters free to the caller and in all (both capped at the
// largest DWORD). FALSE when the folder cannot be examined.
BOOL GetDiskFreeSpaceW(LPCWSTR rootPath, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters);
