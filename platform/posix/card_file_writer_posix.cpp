#include "platform/card_file_writer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/card_paths.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {
using card_paths::SplitCardPath;

// Opens a card folder from the card's root, one level at a time, refusing
// every link on the way. -1 (errno set) on failure.
int OpenCardFolder(const std::vector<std::string>& folders) {
  int fd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (const std::string& folder : folders) {
    if (fd < 0) return -1;
    const int next = openat(fd, folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int e = errno;
    close(fd);
    errno = e;
    fd = next;
  }
  return fd;
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = ENOSPC;  // the device took nothing more
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}
}  // namespace

CCardFileWriter::~CCardFileWriter() { Abort(); }

bool CCardFileWriter::Fail() {
  const int e = errno;
  Abort();
  SetLastErrorFromErrno(e);
  return false;
}

bool CCardFileWriter::Open(const char* path) {
  Abort();
  std::vector<std::string> folders;
  if (!SplitCardPath(path, folders, m_name)) {
    SetLastErrorFromErrno(EINVAL);
    return false;
  }
  m_folder = OpenCardFolder(folders);
  if (m_folder < 0) return Fail();
  // A folder under the target's name could never be replaced by the file.
  struct stat target;
  if (fstatat(m_folder, m_name.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(target.st_mode)) {
    errno = EISDIR;
    return Fail();
  }
  for (int attempt = 0; attempt < card_paths::kTemporaryAttempts && m_file < 0; ++attempt) {
    m_temporary = card_paths::TemporaryName();
    m_file = openat(m_folder, m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (m_file < 0 && errno != EEXIST) break;
  }
  if (m_file < 0) return Fail();
  return true;
}

bool CCardFileWriter::Write(const void* data, std::size_t size) {
  if (m_file < 0) return false;
  if (WriteAll(m_file, static_cast<const unsigned char*>(data), size)) return true;
  return Fail();
}

CCardFolderBatch::~CCardFolderBatch() { Flush(); }

bool CCardFolderBatch::Flush() {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return FlushLocked();
}

bool CCardFolderBatch::FlushLocked() {
  int error = 0;
  for (const Pending& folder : m_folders) {
    if (fsync(folder.fd) != 0 && error == 0) error = errno;
    close(folder.fd);
  }
  m_folders.clear();
  m_nFiles = 0;
  SetLastErrorFromErrno(error);
  return error == 0;
}

bool CCardFolderBatch::Add(int folder) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  struct stat info;
  if (fstat(folder, &info) != 0) {
    // A folder that cannot be told apart from the others is flushed now.
    const bool flushed = fsync(folder) == 0;
    SetLastErrorFromErrno(flushed ? 0 : errno);
    close(folder);
    return flushed;
  }
  bool known = false;
  for (const Pending& pending : m_folders) known = known || (pending.device == info.st_dev && pending.inode == info.st_ino);
  if (known)
    close(folder);
  else
    m_folders.push_back({folder, static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)});
  const ULONGLONG now = GetTickCount64();
  if (m_nFiles++ == 0) m_started = now;
  return m_nFiles < kFiles && now - m_started < kMilliseconds ? true : FlushLocked();
}

bool CCardFileWriter::Commit(CCardFolderBatch* batch) {
  if (m_file < 0) return false;
  const bool synced = fsync(m_file) == 0;
  const int syncError = errno;
  const bool closed = close(m_file) == 0;
  m_file = -1;
  if (!synced) errno = syncError;
  if (!synced || !closed || renameat(m_folder, m_temporary.c_str(), m_folder, m_name.c_str()) != 0) return Fail();
  m_temporary.clear();
  // The new name lives in the folder's entries: a card pulled out before they
  // reach the device would still show the old file (or none).
  if (batch) return batch->Add(std::exchange(m_folder, -1));
  if (fsync(m_folder) != 0) return Fail();
  Abort();  // closes the folder; nothing is left to remove
  return true;
}

void CCardFileWriter::Abort() {
  if (m_file >= 0) close(m_file);
  m_file = -1;
  if (m_folder >= 0) {
    if (!m_temporary.empty()) unlinkat(m_folder, m_temporary.c_str(), 0);
    close(m_folder);
  }
  m_folder = -1;
  m_temporary.clear();
}

void RemoveCardTemporaries(const char* folder) {
  std::vector<std::string> folders;
  std::string leaf;
  int fd = -1;
  if (!folder || !*folder || std::strcmp(folder, ".") == 0) {
    fd = OpenCardFolder({});
  } else if (SplitCardPath(folder, folders, leaf)) {
    folders.push_back(leaf);
    fd = OpenCardFolder(folders);
  }
  if (fd < 0) return;
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return;
  }
  std::vector<std::string> stale;
  while (dirent* entry = readdir(dir))
    if (IsCardTemporaryName(entry->d_name)) stale.push_back(entry->d_name);
  for (const std::string& name : stale) unlinkat(dirfd(dir), name.c_str(), 0);
  closedir(dir);
}

BOOL CreateCardDirectory(const char* path) {
  std::vector<std::string> folders;
  std::string leaf;
  if (!SplitCardPath(path, folders, leaf)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  const int parent = OpenCardFolder(folders);
  // A folder made is synced into its parent, so that the files renamed into
  // it later are never left without a folder on a pulled card.
  const bool made = parent >= 0 && mkdirat(parent, leaf.c_str(), 0777) == 0 && fsync(parent) == 0;
  const int e = errno;
  if (parent >= 0) close(parent);
  SetLastErrorFromErrno(made ? 0 : e);
  return made;
}
