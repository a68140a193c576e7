#include "register/policy_files.h"

#include <cstdio>
#include <cstring>

#include "core/catalogue.h"
#include "core/product.h"
#include "framework/afx.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/text.h"

CString g_strPolicyFolder;

namespace {
constexpr size_t kLineBuffer = 8192;

bool WriteWholeFile(const CString& path, const unsigned char* bytes, size_t length) {
  // Another program of the same user could have planted a link here that
  // points elsewhere; we only write our own plain files.
  if (IsSymbolicLinkW(path)) return false;
  FILE* file = OpenFileW(path, L"wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes, 1, length, file) == length;
  return std::fclose(file) == 0 && written;
}

// A folder path without its trailing separator: with one, the file system
// would look through a link of that name.
CString WithoutTrailingSeparator(const CString& path) {
  const int n = path.GetLength();
  return n > 0 && (path[n - 1] == L'\\' || path[n - 1] == L'/') ? path.Left(n - 1) : path;
}

// Creates the folder; an existing one is fine unless it is a link.
bool MakeOwnFolder(const CString& path) {
  CreateDirectoryW(path, nullptr);
  return !IsSymbolicLinkW(WithoutTrailingSeparator(path));
}
}  // namespace

CString PolicyFolderName() {
  CString name;
  name.Format(L"RIVETBOX_%s_%s", kProductName, kClientVersionText);
  return name;
}

bool SavePolicyAndOpen(const unsigned char* page, const unsigned char* logo, size_t pageLength,
                       size_t logoLength, CString& pagePath) {
  if (!page || !logo || pageLength == 0 || logoLength == 0) return false;
  wchar_t temp[MAX_PATH] = {};
  if (GetTempPathW(MAX_PATH, temp) == 0) return false;

  CString folder;
  folder.Format(L"%s%s", temp, PolicyFolderName());
  folder += L"\\";
  if (!MakeOwnFolder(folder)) return false;
  pagePath = folder + L"privacy_policy.html";
  if (!WriteWholeFile(pagePath, page, pageLength)) return false;

  // The logo is a nicety: the page is shown even when it cannot be stored.
  const CString logoFolder = folder + kPolicyLogoFolder + L"\\";
  if (MakeOwnFolder(logoFolder)) WriteWholeFile(logoFolder + kPolicyLogoName, logo, logoLength);

  if (!IsPrivacyPolicyPage(pagePath)) {
    AfxMessageBox(GetMsg(Msg::kPolicyOpenFailed), MB_ICONERROR);
    return false;
  }
  if (!ShellSucceeded(ShellExecuteW(nullptr, L"open", pagePath, nullptr, nullptr, SW_SHOWNORMAL))) {
    // No browser took the page, but the user has it: told where it is, they
    // can open it by hand, and Accept becomes available as after a view.
    CString saved;
    saved.Format(GetMsg(Msg::kPolicySavedAs), WideFromUtf8(NativePath(pagePath)).c_str(), GetMsg(Msg::kAccept));
    AfxMessageBox(CString(GetMsg(Msg::kPolicyOpenFailed)) + L"\r\n" + saved, MB_ICONEXCLAMATION);
  }
  g_strPolicyFolder = folder;
  return true;
}

bool IsPrivacyPolicyPage(const CString& path) {
  FILE* file = OpenFileW(path, L"rt");
  if (!file) return false;
  char line[kLineBuffer];
  while (std::fgets(line, sizeof line, file)) {
    if (std::strstr(line, kPolicyMarker)) {
      std::fclose(file);
      return true;
    }
  }
  std::fclose(file);
  return false;
}

bool DeleteFolderTree(const CString& path) {
  const CString folder = WithoutTrailingSeparator(path);
  if (folder.IsEmpty() || IsSymbolicLinkW(folder)) return false;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(folder + L"\\*", &entry);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    const CString name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const CString child = folder + L"\\" + name;
    // A link to a folder is removed as the link it is: following it would
    // delete files outside the policy folder.
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsSymbolicLinkW(child)) {
      DeleteFolderTree(child);
    } else if (!DeleteFileW(child)) {
      FindClose(find);
      return false;
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  RemoveDirectoryW(folder);
  return true;
}
