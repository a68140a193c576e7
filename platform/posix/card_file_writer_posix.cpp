#include "platform/card_file_writer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

bool CCardFileWriter::Open(const char* path, CCardCommitBatch* batch, CardTarget target) {
  Abort();
  std::vector<std::string> folders;
  if (!SplitCardPath(path, folders, m_name)) {
    SetLastErrorFromErrno(EINVAL);
    return false;
  }
  m_folderPath.clear();
  for (const std::string& folder : folders) m_folderPath += folder + '/';
  m_folder = batch ? batch->DuplicateFolder(m_folderPath) : -1;
  if (m_folder < 0) m_folder = OpenCardFolder(folders);
  if (m_folder < 0) return Fail();
  // A folder under the target's name could never be replaced by the file.
  struct stat seen;
  if (target == CardTarget::kUnknown && fstatat(m_folder, m_name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISDIR(seen.st_mode)) {
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
  m_nWritten += size;
  if (WriteAll(m_file, static_cast<const unsigned char*>(data), size)) return true;
  return Fail();
}

CCardCommitBatch::~CCardCommitBatch() { Flush(); }

bool CCardCommitBatch::Flush() {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return FlushLocked();
}

bool CCardCommitBatch::FlushLocked() {
  int error = 0;
  auto failed = [&error] {
    if (error == 0) error = errno;
  };
  // Every file's bytes on the device before any name points at them.
  for (Pending& pending : m_pending) {
    const bool synced = fsync(pending.file) == 0;
    if (!synced) failed();
    const bool closed = close(pending.file) == 0;
    if (!closed) failed();
    pending.file = synced && closed ? -1 : -2;  // -1: ready to be renamed
  }
  for (const Pending& pending : m_pending) {
    if (pending.file != -1 || renameat(pending.folder, pending.temporary.c_str(), pending.folder,
                                       pending.name.c_str()) != 0) {
      if (pending.file == -1) failed();
      unlinkat(pending.folder, pending.temporary.c_str(), 0);
    }
  }
  // Then each folder's new names, once a folder.
  std::vector<const std::string*> flushed;
  for (const Pending& pending : m_pending) {
    const auto same = [&pending](const std::string* path) { return *path == pending.folderPath; };
    if (std::none_of(flushed.begin(), flushed.end(), same)) {
      if (fsync(pending.folder) != 0) failed();
      flushed.push_back(&pending.folderPath);
    }
    close(pending.folder);
  }
  m_pending.clear();
  m_nBytes = 0;
  SetLastErrorFromErrno(error);
  return error == 0;
}

int CCardCommitBatch::DuplicateFolder(const std::string& path) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  for (const Pending& pending : m_pending)
    if (pending.folderPath == path) return fcntl(pending.folder, F_DUPFD_CLOEXEC, 0);
  return -1;
}

bool CCardCommitBatch::Add(Pending pending) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  const ULONGLONG now = GetTickCount64();
  if (m_pending.empty()) m_started = now;
  m_nBytes += pending.bytes;
  m_pending.push_back(std::move(pending));
  if (m_pending.size() < static_cast<std::size_t>(kFiles) && m_nBytes < kBytes && now - m_started < kMilliseconds)
    return true;
  return FlushLocked();
}

bool CCardFileWriter::Commit(CCardCommitBatch* batch) {
  if (m_file < 0) return false;
  if (batch) {
    CCardCommitBatch::Pending pending{std::exchange(m_file, -1), std::exchange(m_folder, -1),
                                      m_folderPath, std::exchange(m_temporary, {}), m_name,
                                      std::exchange(m_nWritten, 0)};
    return batch->Add(std::move(pending));
  }
  const bool synced = fsync(m_file) == 0;
  const int syncError = errno;
  const bool closed = close(m_file) == 0;
  m_file = -1;
  if (!synced) errno = syncError;
  if (!synced || !closed || renameat(m_folder, m_temporary.c_str(), m_folder, m_name.c_str()) != 0) return Fail();
  m_temporary.clear();
  // The new name lives in the folder's entries: a card pulled out before they
  // reach the device would still show the old file (or none).
  if (fsync(m_folder) != 0) return Fail();
  Abort();  // closes the folder; nothing is left to remove
  return true;
}

void CCardFileWriter::Abort() {
  if (m_file >= 0) close(m_file);
  m_file = -1;
  m_nWritten = 0;
  if (m_folder >= 0) {
    if (!m_temporary.empty()) unlinkat(m_folder, m_temporary.c_str(), 0);
    close(m_folder);
  }
  m_folder = -1;
  m_temporary.clear();
}

namespace {
// Folders this deep below the walk's start are left alone.
constexpr int kDeepestFolder = 64;

// Removes the temporaries in an open folder and, levels deep, in the folders
// below it on the same device, never through a link; closes fd.
void RemoveTemporariesBelow(int fd, dev_t device, int levels) {
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return;
  }
  std::vector<std::string> stale, folders;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (IsCardTemporaryName(name.c_str()))
      stale.push_back(name);
    else if ((entry->d_type == DT_DIR || entry->d_type == DT_UNKNOWN) && name != "." && name != "..")
      folders.push_back(name);
  }
  for (const std::string& name : stale) unlinkat(dirfd(dir), name.c_str(), 0);
  for (const std::string& name : levels > 0 ? folders : std::vector<std::string>{}) {
    const int below = openat(dirfd(dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info;
    if (below >= 0 && fstat(below, &info) == 0 && info.st_dev == device)
      RemoveTemporariesBelow(below, device, levels - 1);
    else if (below >= 0)
      close(below);
  }
  closedir(dir);
}

void RemoveTemporariesFrom(int fd, int levels) {
  struct stat info;
  if (fd >= 0 && fstat(fd, &info) == 0)
    RemoveTemporariesBelow(fd, info.st_dev, levels);
  else if (fd >= 0)
    close(fd);
}
}  // namespace

void RemoveCardTemporaries(const char* folder) {
  std::vector<std::string> folders;
  std::string leaf;
  if (!folder || !*folder || std::strcmp(folder, ".") == 0) {
    RemoveTemporariesFrom(OpenCardFolder({}), 0);
  } else if (SplitCardPath(folder, folders, leaf)) {
    folders.push_back(leaf);
    RemoveTemporariesFrom(OpenCardFolder(folders), 0);
  }
}

void RemoveAllCardTemporaries() { RemoveTemporariesFrom(OpenCardFolder({}), kDeepestFolder); }

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
