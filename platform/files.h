// File-system calls with their Windows names. On Windows they are the real
// ones. Elsewhere every call accepts '\' and '/' as separators and uses '/'
// underneath; names handed back use '/'.
#pragma once

#include <cstdio>
#include <string>

#include "platform/wintypes.h"

#ifndef _WIN32
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_GEN_FAILURE = 31;

constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_DEVICE = 0x40;  // here: a pipe, socket or device node
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;  // here: a symbolic link
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

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
// The attributes of the name itself (a link is not followed):
// FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_REPARSE_POINT for a link,
// FILE_ATTRIBUTE_DEVICE for anything else that is no regular file, else
// FILE_ATTRIBUTE_NORMAL; INVALID_FILE_ATTRIBUTES when it cannot be examined.
DWORD GetFileAttributesW(LPCWSTR path);

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

// Flushes a folder's entries (names made, renamed or removed in it) to the
// device, so that a card pulled out afterwards keeps them.
bool SyncFolder(const char* path);

#endif

// Stream opens on card paths, on every system: wide paths, and narrow UTF-8
// paths.
FILE* OpenFileW(const wchar_t* path, const wchar_t* mode);
FILE* fopenUtf8(const char* path, const char* mode);
// Opens a regular file for reading ("r" or "rb"; "t" is ignored). Anything
// else under the name (a folder, a pipe, a device, a socket) gives null at
// once: opening a pipe for reading would wait for a writer for ever.
FILE* fopenRegularUtf8(const char* path, const char* mode);
// A regular file, not a link, folder, pipe or device.
bool IsRegularFileW(const wchar_t* path);
// A regular file that has this one name: no hard link elsewhere (perhaps
// off the card) shares its contents.
bool IsSingleNamedFileW(const wchar_t* path);
// Renames, replacing an existing target file, and makes the new name
// durable (on POSIX the folder is synced). 0 on success, like rename().
int renameUtf8(const char* from, const char* to);
int RemoveFileW(const wchar_t* path);
int removeUtf8(const char* path);
// Size of a file in bytes; -1 when it cannot be examined or is no file.
long long FileSizeUtf8(const char* path);
bool IsSymbolicLinkW(const wchar_t* path);

// The system's error code of the last failed file call on this thread
// (errno on POSIX, GetLastError on Windows), its own words for a code, and
// what kind of failure a code is.
int LastSystemError();
std::string SystemErrorText(int code);
bool IsWriteProtectedError(int code);  // a read-only card or file system (the lock switch)
bool IsNoPermissionError(int code);     // the system does not let this user write there
bool IsDiskFullError(int code);

// The card path in the form the file system takes (on Windows '/' becomes
// '\', elsewhere '\' becomes '/').
std::string NativePath(const char* path);
std::string NativePath(const wchar_t* path);

