#include "platform/files.h"

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
// translate line ends).
std::wstring BinaryMode(std::wstring_view mode) {
  std::wstring out;
  for (wchar_t c : mode)
    if (c != L't' && c != L'b') out += c;
  return out + L"b";
}
}  // namespace

FILE* OpenFileW(const wchar_t* path, const wchar_t* mode) {
  return _wfopen(WideFromUtf8(NativePath(path)).c_str(), BinaryMode(mode ? mode : L"").c_str());
}

int RemoveFileW(const wchar_t* path) { return DeleteFileW(WideFromUtf8(NativePath(path)).c_str()) ? 0 : -1; }

FILE* fopenUtf8(const char* path, const char* mode) {
  return _wfopen(WidePath(path).c_str(), BinaryMode(WideFromUtf8(mode ? mode : "")).c_str());
}

int renameUtf8(const char* from, const char* to) {
  return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : -1;
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
