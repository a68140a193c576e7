#include "update/report_stylesheets.h"

#include <cwchar>

#include "framework/cstring.h"
#include "platform/files.h"

namespace {
constexpr DWORD kPathBuffer = 1024;
constexpr const wchar_t* kStylesheet = L"table.css";

CString StylesheetIn(const wchar_t* folder) {
  CString path;
  path.Format(L"%s\\%s", folder, kStylesheet);
  return path;
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

  const CString source = StylesheetIn(root);
  // root is written with '\' and the current directory comes back with '/':
  // compare them in one form, so that the source is never copied onto itself.
  const bool isRoot = NativePath(here) == NativePath(root);
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(L"*.*", &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RefreshStylesheetsIn(root, found.cFileName);
      } else if (!isRoot && std::wcscmp(found.cFileName, kStylesheet) == 0) {
        CopyFileW(source, StylesheetIn(here), FALSE);
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
  CreateDirectoryW(L"AppData", nullptr);
  CreateDirectoryW(L"AppData\\VQA", nullptr);
  CreateDirectoryW(L"AppData\\VQA\\Reports", nullptr);
  CopyFileW(L"Reports\\table.css", L"AppData\\VQA\\Reports\\table.css", FALSE);
}
