#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/system.h"
#include "platform/text.h"

namespace {
thread_local DWORD t_lastError = 0;
thread_local int t_lastErrno = 0;

DWORD ErrorFromErrno(int e) {
  switch (e) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    default: return ERROR_GEN_FAILURE;
  }
}

BOOL Result(int rc) {
  if (rc == 0) {
    t_lastError = ERROR_SUCCESS;
    return TRUE;
  }
  t_lastErrno = errno;
  t_lastError = ErrorFromErrno(errno);
  return FALSE;
}

std::string ModeText(const wchar_t* mode) {
  std::string m;
  for (const wchar_t* p = mode; p && *p; ++p)
    if (*p != L't') m += static_cast<char>(*p);
  return m;
}
}  // namespace

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD code) { t_lastError = code; }
void SetLastErrorFromErrno(int e) {
  t_lastErrno = e;
  t_lastError = ErrorFromErrno(e);
}

int LastSystemError() { return t_lastErrno; }

std::string SystemErrorText(int code) {
  char buffer[256];
  // The GNU strerror_r, which returns the text (in buffer or a constant).
  return strerror_r(code, buffer, sizeof buffer);
}

bool IsWriteProtectedError(int code) { return code == EROFS; }
bool IsNoPermissionError(int code) { return code == EACCES || code == EPERM; }
bool IsDiskFullError(int code) { return code == ENOSPC || code == EDQUOT; }

std::string NativePath(const char* path) {
  std::string out(path ? path : "");
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::string NativePath(const wchar_t* path) {
  return NativePath(Utf8FromWide(path ? path : L"").c_str());
}

BOOL CreateDirectoryW(LPCWSTR path, void*) { return Result(mkdir(NativePath(path).c_str(), 0777)); }
BOOL RemoveDirectoryW(LPCWSTR path) { return Result(rmdir(NativePath(path).c_str())); }

BOOL DeleteFileW(LPCWSTR path) {
  const std::string native = NativePath(path);
  struct stat st;
  if (lstat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    t_lastError = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  return Result(unlink(native.c_str()));
}

DWORD GetFileAttributesW(LPCWSTR path) {
  struct stat st;
  if (lstat(NativePath(path).c_str(), &st) != 0) {
    t_lastError = ErrorFromErrno(errno);
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISLNK(st.st_mode)) return FILE_ATTRIBUTE_REPARSE_POINT;
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return S_ISREG(st.st_mode) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DEVICE;
}

bool IsRegularFileW(const wchar_t* path) { return GetFileAttributesW(path) == FILE_ATTRIBUTE_NORMAL; }

bool IsSingleNamedFileW(const wchar_t* path) {
  struct stat st;
  return lstat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
}

BOOL CopyFileW(LPCWSTR existing, LPCWSTR target, BOOL failIfExists) {
  const std::string from = NativePath(existing), to = NativePath(target);
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return Result(-1);
  struct stat st;
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(in);
    t_lastError = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (failIfExists ? O_EXCL : O_TRUNC);
  int out = open(to.c_str(), flags, 0644);
  if (out < 0) {
    int e = errno;
    close(in);
    errno = e;
    return Result(-1);
  }
  std::vector<char> block(64 * 1024);
  bool ok = true;
  for (;;) {
    ssize_t n = read(in, block.data(), block.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out, block.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  int e = errno;
  close(in);
  if (close(out) != 0) ok = false;
  if (!ok) {
    errno = e ? e : EIO;
    return Result(-1);
  }
  return Result(0);
}

DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return 0;
  const std::wstring wide = WideFromUtf8(cwd);
  if (!buffer || wide.size() + 1 > size) return static_cast<DWORD>(wide.size() + 1);
  std::wmemcpy(buffer, wide.c_str(), wide.size() + 1);
  return static_cast<DWORD>(wide.size());
}

BOOL SetCurrentDirectoryW(LPCWSTR path) { return Result(chdir(NativePath(path).c_str())); }

DWORD GetFullPathNameW(LPCWSTR name, DWORD size, LPWSTR buffer, LPWSTR* filePart) {
  if (!name || !*name) return 0;
  std::wstring full;
  std::wstring native = WideFromUtf8(NativePath(name));
  if (native[0] == L'/') {
    full = native;
  } else {
    wchar_t cwd[4096];
    DWORD n = GetCurrentDirectoryW(4096, cwd);
    if (n == 0 || n >= 4096) return 0;
    full = cwd;
    if (full.empty() || full.back() != L'/') full += L'/';
    full += native;
  }
  if (!buffer || full.size() + 1 > size) return static_cast<DWORD>(full.size() + 1);
  std::wmemcpy(buffer, full.c_str(), full.size() + 1);
  if (filePart) {
    size_t slash = full.rfind(L'/');
    *filePart = buffer + (slash == std::wstring::npos ? 0 : slash + 1);
  }
  return static_cast<DWORD>(full.size());
}

struct FindHandle {
  DIR* dir = nullptr;
  std::string folder;
  std::string mask;
};

namespace {
bool NextMatch(FindHandle* h, WIN32_FIND_DATAW* data) {
  while (dirent* entry = readdir(h->dir)) {
    const char* name = entry->d_name;
    // "*.*" matches every name, as on Windows, dotless names included.
    if (h->mask != "*" && h->mask != "*.*" && fnmatch(h->mask.c_str(), name, 0) != 0) continue;
    const std::wstring wide = WideFromUtf8(name);
    if (wide.size() >= MAX_PATH) continue;
    struct stat st;
    const std::string full = h->folder + name;
    const bool isDir = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    data->dwFileAttributes = isDir ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    std::wmemcpy(data->cFileName, wide.c_str(), wide.size() + 1);
    return true;
  }
  return false;
}
}  // namespace

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data) {
  const std::string native = NativePath(pattern);
  const size_t slash = native.rfind('/');
  auto* h = new FindHandle;
  h->folder = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
  h->mask = slash == std::string::npos ? native : native.substr(slash + 1);
  h->dir = opendir(h->folder.empty() ? "." : h->folder.c_str());
  if (!h->dir) {
    t_lastError = ErrorFromErrno(errno);
    delete h;
    return INVALID_HANDLE_VALUE;
  }
  if (!NextMatch(h, data)) {
    closedir(h->dir);
    delete h;
    t_lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  return h;
}

BOOL FindNextFileW(HANDLE handle, WIN32_FIND_DATAW* data) {
  if (!handle || handle == INVALID_HANDLE_VALUE) return FALSE;
  if (NextMatch(handle, data)) return TRUE;
  t_lastError = ERROR_NO_MORE_FILES;
  return FALSE;
}

BOOL FindClose(HANDLE handle) {
  if (!handle || handle == INVALID_HANDLE_VALUE) return FALSE;
  closedir(handle->dir);
  delete handle;
  return TRUE;
}

FILE* OpenFileW(const wchar_t* path, const wchar_t* mode) {
  return std::fopen(NativePath(path).c_str(), ModeText(mode).c_str());
}

FILE* fopenUtf8(const char* path, const char* mode) {
  std::string m;
  for (const char* p = mode; p && *p; ++p)
    if (*p != 't') m += *p;
  return std::fopen(NativePath(path).c_str(), m.c_str());
}

FILE* fopenRegularUtf8(const char* path, const char* mode) {
  // Non-blocking, so that a pipe without a writer opens at once (and is then
  // refused); a regular file ignores the flag.
  const int fd = open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  FILE* file = nullptr;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && fcntl(fd, F_SETFL, 0) == 0)
    file = fdopen(fd, std::strchr(mode ? mode : "", '+') ? "r+" : "r");
  if (!file) close(fd);
  return file;
}

int renameUtf8(const char* from, const char* to) {
  const std::string target = NativePath(to);
  if (std::rename(NativePath(from).c_str(), target.c_str()) != 0) return -1;
  const size_t slash = target.rfind('/');
  SyncFolder(slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash).c_str());
  return 0;
}

bool SyncFolder(const char* path) {
  const int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}
int RemoveFileW(const wchar_t* path) { return std::remove(NativePath(path).c_str()); }
int removeUtf8(const char* path) { return std::remove(NativePath(path).c_str()); }

long long FileSizeUtf8(const char* path) {
  struct stat st;
  if (stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_size);
}

bool IsSymbolicLinkW(const wchar_t* path) {
  struct stat st;
  return lstat(NativePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}
