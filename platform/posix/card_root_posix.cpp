#include "platform/card_root.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <string>

#include "platform/card_paths.h"
#include "platform/files.h"
#include "platform/system.h"

namespace {
constexpr DWORD kRetryPauseMs = 50;
}  // namespace

CCardLock::~CCardLock() {
  if (m_fd >= 0) close(m_fd);
}

bool CCardLock::Acquire(std::uint32_t waitMs) {
  if (m_fd >= 0) return true;
  // The folder itself is locked: nothing is created on the card, so a
  // write-protected card is locked as well as any other.
  const int fd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      m_fd = fd;
      return true;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {  // no locks here: nobody else can hold one
      close(fd);
      return true;
    }
    if (GetTickCount64() - start >= waitMs) {
      close(fd);
      return false;
    }
    Sleep(kRetryPauseMs);
  }
}

CardProbe ProbeCardRoot() {
  CardProbe probe;
  for (int attempt = 0; attempt < card_paths::kTemporaryAttempts; ++attempt) {
    const std::string name = card_paths::TemporaryName();
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      probe.error = errno;
      if (IsWriteProtectedError(errno))
        probe.access = CardAccess::kReadOnly;
      else if (IsNoPermissionError(errno))
        probe.access = CardAccess::kNoPermission;
      return probe;
    }
    probe.access = CardAccess::kWritable;
    std::string other = name;
    for (char& c : other) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // The name in capitals is as fresh as ours: on a card that tells case
    // apart nothing has it. (A FUSE card may give it an inode of its own.)
    struct stat found;
    probe.caseInsensitive = lstat(other.c_str(), &found) == 0;
    close(fd);
    unlink(name.c_str());
    return probe;
  }
  return probe;
}
