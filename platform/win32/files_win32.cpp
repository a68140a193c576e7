#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstring>

#include "platform/text.h"

std::string NativePath(const char* path) {
  std::string out(path ? path : "");
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

std::string NativePath(const wchar_t* path) {
  return NativePath(Utf8FromWide(path ? path : L"").c_str());
}

namespace {
std::wstring WidePath(const char* path) { return WideFromUtf8(NativePath(path)); }

// Streams read and write the bytes as they are, as on every other system:
// "t" is dropped and binary mode is asked for (the C runtime would otherwise
// translate line ends). "x" is dropped too: the C runtime does not know it.
std::wstring BinaryMode(std::wstring_view mode) {
  std::wstring out;
  for (wchar_t c : mode)
    if (c != L't' && c != L'b' && c != L'x') out += c;
  return out + L"b";
}

// Opens a stream on a wide path. "wx" / "w+x" create the file and fail when
// the name exists already, a link included, as the C library's "x" does.
FILE* OpenStream(const std::wstring& path, std::wstring_view mode) {
  const std::wstring streamMode = BinaryMode(mode);
  if (mode.find(L'x') == std::wstring_view::npos) return _wfopen(path.c_str(), streamMode.c_str());
  const int access = mode.find(L'+') == std::wstring_view::npos ? _O_WRONLY : _O_RDWR;
  const int fd = _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_BINARY | access, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  FILE* file = _wfdopen(fd, streamMode.c_str());
  if (!file) _close(fd);
  return file;
}
}  // namespace

FILE* OpenFileW(const wchar_t* path, const wchar_t* mode) {
  return OpenStream(WideFromUtf8(NativePath(path)), mode ? mode : L"");
}

int RemoveFileW(const wchar_t* path) { return DeleteFileW(WideFromUtf8(NativePath(path)).c_str()) ? 0 : -1; }

FILE* fopenUtf8(const char* path, const char* mode) {
  return OpenStream(WidePath(path), WideFromUtf8(mode ? mode : ""));
}

FILE* fopenRegularUtf8(const char* path, const char* mode) {
  const std::wstring wide = WidePath(path);
  if (!IsRegularFileW(wide.c_str())) return nullptr;
  FILE* file = OpenStream(wide, std::strchr(mode ? mode : "", '+') ? L"r+" : L"r");
  // A name that the system maps onto a device (a console, a pipe) is no file.
  if (file && GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

bool IsRegularFileW(const wchar_t* path) {
  const DWORD attributes = GetFileAttributesW(WideFromUtf8(NativePath(path)).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

bool IsSingleNamedFileW(const wchar_t* path) {
  if (!IsRegularFileW(path)) return false;
  const HANDLE file = CreateFileW(WideFromUtf8(NativePath(path)).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool single = GetFileInformationByHandle(file, &info) && info.nNumberOfLinks == 1;
  CloseHandle(file);
  return single;
}

int LastSystemError() { return static_cast<int>(GetLastError()); }

std::string SystemErrorText(int code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&text), 0,
                                      nullptr);
  std::wstring words = length && text ? std::wstring(text, length) : std::to_wstring(code);
  if (text) LocalFree(text);
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L'.')) words.pop_back();
  return Utf8FromWide(words);
}

bool IsWriteProtectedError(int code) { return code == ERROR_WRITE_PROTECT; }
bool IsNoPermissionError(int code) { return code == ERROR_ACCESS_DENIED; }
bool IsDiskFullError(int code) { return code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL; }

int renameUtf8(const char* from, const char* to) {
  return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : -1;
}

int removeUtf8(const char* path) { return DeleteFileW(WidePath(path).c_str()) ? 0 : -1; }

long long FileSizeUtf8(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

bool IsSymbolicLinkW(const wchar_t* path) {
  const DWORD attributes = GetFileAttributesW(WideFromUtf8(NativePath(path)).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
