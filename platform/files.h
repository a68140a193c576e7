// File-system calls with their Windows names. Every call accepts '\' and '/'
// as separators and uses '/' underneath; names handed back use '/'.
#pragma once

#include <cstdio>
#include <string>

#include "platform/wintypes.h"

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_GEN_FAILURE = 31;

constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

DWORD GetLastError();
void SetLastError(DWORD code);
// The last error for a failed POSIX call's errno (0: success).
void SetLastErrorFromErrno(int e);

BOOL CreateDirectoryW(LPCWSTR path, void* securityAttributes);
BOOL RemoveDirectoryW(LPCWSTR path);
BOOL DeleteFileW(LPCWSTR path);
// Copies contents (not permissions of the target, which are created 0644 or
// kept); with failIfExists an existing target is an error.
BOOL CopyFileW(LPCWSTR existing, LPCWSTR target, BOOL failIfExists);

DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer);
BOOL SetCurrentDirectoryW(LPCWSTR path);
// The current directory joined with a relative name (or an absolute name as
// it is). Returns the length, 0 on failure or when the buffer is too small.
DWORD GetFullPathNameW(LPCWSTR name, DWORD size, LPWSTR buffer, LPWSTR* filePart);

struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  wchar_t cFileName[MAX_PATH];
};
struct FindHandle;
using HANDLE = FindHandle*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(-1);

// Enumerates a folder with a pattern ("*", "*.*", "name", "*.ext"), "." and
// ".." included, in the order the file system returns the entries.
HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data);
BOOL FindNextFileW(HANDLE handle, WIN32_FIND_DATAW* data);
BOOL FindClose(HANDLE handle);

// Stream opens on card paths: wide paths, and narrow UTF-8 paths.
FILE* OpenFileW(const wchar_t* path, const wchar_t* mode);
FILE* fopenUtf8(const char* path, const char* mode);
// Renames, replacing an existing target file. 0 on success, like rename().
int renameUtf8(const char* from, const char* to);
int RemoveFileW(const wchar_t* path);
int removeUtf8(const char* path);
// Size of a file in bytes; -1 when it cannot be examined or is no file.
long long FileSizeUtf8(const char* path);
bool IsSymbolicLinkW(const wchar_t* path);

// The card path in the form the file system takes ('\' becomes '/').
std::string NativePath(const char* path);
std::string NativePath(const wchar_t* path);

