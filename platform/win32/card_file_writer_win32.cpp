#include "platform/card_file_writer.h"

#include <string>
#include <vector>

#include "platform/card_paths.h"
#include "platform/text.h"

namespace {
using card_paths::SplitCardPath;

bool IsReparsePoint(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// Opens the card's folders from the root (the current directory) one level
// at a time. A folder that is a reparse point (a link or junction) is refused,
// and each stays open without delete sharing, so the path walked cannot be
// swapped for a link afterwards. On failure the handles are closed again and
// the last error is set.
bool OpenCardFolders(const std::vector<std::string>& folders, std::vector<HANDLE>& handles,
                     std::wstring& path) {
  handles.clear();
  path.clear();
  for (const std::string& folder : folders) {
    path += (path.empty() ? L"" : L"\\") + WideFromUtf8(folder);
    const HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    BY_HANDLE_FILE_INFORMATION info;
    const bool folderOk = handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info) &&
                          (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                          !IsReparsePoint(info.dwFileAttributes);
    if (!folderOk) {
      const DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_PATH_NOT_FOUND;
      if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
      for (HANDLE h : handles) CloseHandle(h);
      handles.clear();
      SetLastError(error);
      return false;
    }
    handles.push_back(handle);
  }
  return true;
}

void CloseAll(std::vector<HANDLE>& handles) {
  for (HANDLE h : handles) CloseHandle(h);
  handles.clear();
}

std::wstring InFolder(const std::wstring& folder, const std::string& name) {
  return (folder.empty() ? L"" : folder + L"\\") + WideFromUtf8(name);
}
}  // namespace

CCardFileWriter::~CCardFileWriter() { Abort(); }

bool CCardFileWriter::Fail() {
  const DWORD error = GetLastError();
  Abort();
  SetLastError(error);
  return false;
}

bool CCardFileWriter::Open(const char* path, CCardCommitBatch*, CardTarget target) {  // a batch holds nothing here
  Abort();
  std::vector<std::string> folders;
  if (!SplitCardPath(path, folders, m_name) || !OpenCardFolders(folders, m_folders, m_folderPath))
    return false;
  // A folder under the target's name could never be replaced by the file.
  const DWORD seen = target == CardTarget::kUnknown ? GetFileAttributesW(InFolder(m_folderPath, m_name).c_str())
                                                    : INVALID_FILE_ATTRIBUTES;
  if (seen != INVALID_FILE_ATTRIBUTES && (seen & FILE_ATTRIBUTE_DIRECTORY) && !IsReparsePoint(seen)) {
    SetLastError(ERROR_DIRECTORY);
    return Fail();
  }
  for (int attempt = 0; attempt < card_paths::kTemporaryAttempts && m_file == INVALID_HANDLE_VALUE; ++attempt) {
    m_temporary = card_paths::TemporaryName();
    // CREATE_NEW never opens what is there, a link included.
    m_file = CreateFileW(InFolder(m_folderPath, m_temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (m_file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (m_file == INVALID_HANDLE_VALUE) {
    m_temporary.clear();
    return Fail();
  }
  return true;
}

bool CCardFileWriter::Write(const void* data, std::size_t size) {
  if (m_file == INVALID_HANDLE_VALUE) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(m_file, bytes, chunk, &written, nullptr) || written == 0) return Fail();
    bytes += written;
    size -= written;
  }
  return true;
}

// Each commit is made at once, its rename written through: a batch holds
// nothing.
CCardCommitBatch::~CCardCommitBatch() = default;
bool CCardCommitBatch::Flush() { return true; }

bool CCardFileWriter::Commit(CCardCommitBatch*) {
  if (m_file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(m_file);
  const bool closed = CloseHandle(m_file);
  m_file = INVALID_HANDLE_VALUE;
  // MoveFileExW replaces the target itself, a link included, never what a
  // link points to; it returns once the new name is on the device.
  if (!flushed || !closed ||
      !MoveFileExW(InFolder(m_folderPath, m_temporary).c_str(), InFolder(m_folderPath, m_name).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return Fail();
  m_temporary.clear();
  Abort();  // closes the folders; nothing is left to remove
  return true;
}

void CCardFileWriter::Abort() {
  if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
  m_file = INVALID_HANDLE_VALUE;
  if (!m_temporary.empty()) DeleteFileW(InFolder(m_folderPath, m_temporary).c_str());
  m_temporary.clear();
  CloseAll(m_folders);
  m_folderPath.clear();
}

namespace {
// Folders this deep below the walk's start are left alone.
constexpr int kDeepestFolder = 64;

// Removes the temporaries in a card folder ("" for the root) and, levels
// deep, in the folders below it; a reparse point (a link, a junction or a
// mounted volume) is never entered.
void RemoveTemporariesBelow(const std::wstring& path, int levels) {
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW((path.empty() ? std::wstring(L"*") : path + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> stale, folders;
  do {
    const std::wstring name = found.cFileName;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      if (IsCardTemporaryName(Utf8FromWide(name).c_str())) stale.push_back(name);
    } else if (!IsReparsePoint(found.dwFileAttributes) && name != L"." && name != L"..") {
      folders.push_back(name);
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
  auto inside = [&path](const std::wstring& name) { return path.empty() ? name : path + L"\\" + name; };
  for (const std::wstring& name : stale) DeleteFileW(inside(name).c_str());
  if (levels > 0)
    for (const std::wstring& name : folders) RemoveTemporariesBelow(inside(name), levels - 1);
}
}  // namespace

void RemoveCardTemporaries(const char* folder) {
  std::vector<std::string> folders;
  std::string leaf;
  if (folder && *folder && std::string(folder) != ".") {
    if (!SplitCardPath(folder, folders, leaf)) return;
    folders.push_back(leaf);
  }
  std::vector<HANDLE> handles;
  std::wstring path;
  if (!OpenCardFolders(folders, handles, path)) return;
  RemoveTemporariesBelow(path, 0);
  CloseAll(handles);
}

void RemoveAllCardTemporaries() { RemoveTemporariesBelow(L"", kDeepestFolder); }

BOOL CreateCardDirectory(const char* path) {
  std::vector<std::string> folders;
  std::string leaf;
  if (!SplitCardPath(path, folders, leaf)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  std::vector<HANDLE> handles;
  std::wstring parent;
  if (!OpenCardFolders(folders, handles, parent)) return FALSE;
  const BOOL made = CreateDirectoryW(InFolder(parent, leaf).c_str(), nullptr);
  const DWORD error = GetLastError();
  CloseAll(handles);
  SetLastError(made ? ERROR_SUCCESS : error);
  return made;
}
