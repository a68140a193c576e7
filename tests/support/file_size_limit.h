// A full card for a test: while it lives, no file of the process can grow
// beyond a number of bytes (a write past it fails instead of raising SIGXFSZ).
#pragma once

// Windows has no such limit: the full-card tests are POSIX only.
#ifndef _WIN32

#include <sys/resource.h>

#include <csignal>

namespace testing_support {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = m_old;
    small.rlim_cur = bytes;
    m_set = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool IsSet() const { return m_set; }

 private:
  rlimit m_old{};
  void (*m_oldHandler)(int) = nullptr;
  bool m_set = false;
};

}  // namespace testing_support
#endif
