#include "update/report_stylesheets.h"

#include <cwchar>
#include <string>

#include "framework/cstring.h"
#include "platform/card_file_writer.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {
constexpr DWORD kPathBuffer = 1024;
constexpr const wchar_t* kStylesheet = L"table.css";
constexpr const char* kAppDataCopy = "AppData\\VQA\\Reports\\table.css";

CString StylesheetIn(const wchar_t* folder) {
  CString path;
  path.Format(L"%s\\%s", folder, kStylesheet);
  return path;
}

// The whole file, or false when it cannot be read.
bool ReadWhole(const char* path, std::string& bytes) {
  std::FILE* file = fopenRegularUtf8(path, "rb");
  if (!file) return false;
  bytes.clear();
  char block[4096];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, n);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

// Replaces target (card-relative) with the source's bytes through the card
// writer, unless it holds them already; a failure leaves the old copy.
void CopyStylesheet(const char* source, const char* target) {
  std::string bytes, old;
  if (!ReadWhole(source, bytes) || (ReadWhole(target, old) && old == bytes)) return;
  WriteCardFile(target, bytes.data(), bytes.size());
}
}  // namespace

int RefreshStylesheetsIn(const wchar_t* root, const wchar_t* folder) {
  wchar_t saved[kPathBuffer];
  const DWORD savedLength = GetCurrentDirectoryW(kPathBuffer, saved);
  if (savedLength == 0 || savedLength >= kPathBuffer) return 0;
  if (std::wcscmp(folder, L".") == 0 || std::wcscmp(folder, L"..") == 0) return 0;
  if (IsSymbolicLinkW(folder) || !SetCurrentDirectoryW(folder)) return 0;
  wchar_t here[kPathBuffer];
  const DWORD hereLength = GetCurrentDirectoryW(kPathBuffer, here);
  if (hereLength == 0 || hereLength >= kPathBuffer) return SetCurrentDirectoryW(saved);

  const std::string source = Utf8FromWide(StylesheetIn(root).GetString());
  // root is written with '\' and the current directory comes back with '/':
  // compare them in one form, so that the source is never copied onto itself.
  const bool isRoot = NativePath(here) == NativePath(root);
  // The folder is the current directory now: the copy is written as a card
  // file relative to it, and what an interrupted copy left here goes first.
  RemoveCardTemporaries(".");
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(L"*.*", &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RefreshStylesheetsIn(root, found.cFileName);
      } else if (!isRoot && std::wcscmp(found.cFileName, kStylesheet) == 0) {
        CopyStylesheet(source.c_str(), Utf8FromWide(kStylesheet).c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  return SetCurrentDirectoryW(saved);
}

void PlaceReportStylesheets() {
  wchar_t cardRoot[kPathBuffer];
  const DWORD length = GetCurrentDirectoryW(kPathBuffer, cardRoot);
  if (length > 0 && length < kPathBuffer) {
    CString root;
    root.Format(L"%s\\%s", cardRoot, L"Reports");
    RefreshStylesheetsIn(root, L"Reports");
  }
  CreateCardDirectory("AppData");
  CreateCardDirectory("AppData\\VQA");
  CreateCardDirectory("AppData\\VQA\\Reports");
  RemoveCardTemporaries("AppData\\VQA\\Reports");
  CopyStylesheet("Reports\\table.css", kAppDataCopy);
}
