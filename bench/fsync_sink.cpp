// The baseline of bench/run's disk row: what one curl process writes to its
// standard output, the answers of a run of get.php requests one after
// another, becomes files 0, 1, ... in a folder. Each file is written and
// fsynced before the next one is read, so every file costs one fsync, as a
// card file that must survive the card being pulled does, and no process is
// started per file.
//
//   curl -s -K requests.config | fsync_sink FOLDER COUNT SIZE
//
// Every answer is SIZE bytes. Exit code 0 when exactly COUNT answers came
// and each was written and synced; 1 otherwise, with the reason on stderr.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr std::size_t kBlock = 256 * 1024;

int Refuse(const std::string& what) {
  std::fprintf(stderr, "fsync_sink: %s: %s\n", what.c_str(), errno ? std::strerror(errno) : "short input");
  return 1;
}

// Reads up to size bytes from standard input; fewer only at its end.
std::size_t ReadInput(unsigned char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = read(STDIN_FILENO, data + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: fsync_sink FOLDER COUNT SIZE\n");
    return 2;
  }
  const std::string folder = argv[1];
  const long count = std::strtol(argv[2], nullptr, 10);
  const unsigned long long size = std::strtoull(argv[3], nullptr, 10);
  std::vector<unsigned char> buffer(kBlock);
  for (long i = 0; i < count; ++i) {
    const std::string path = folder + "/" + std::to_string(i);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return Refuse(path);
    for (unsigned long long left = size; left > 0;) {
      const std::size_t want = left < kBlock ? static_cast<std::size_t>(left) : kBlock;
      errno = 0;
      const std::size_t got = ReadInput(buffer.data(), want);
      if (got != want || !WriteAll(fd, buffer.data(), got)) return Refuse(path);
      left -= got;
    }
    if (fsync(fd) != 0 || close(fd) != 0) return Refuse(path);
  }
  errno = 0;
  unsigned char extra;
  if (ReadInput(&extra, 1) != 0) {
    std::fprintf(stderr, "fsync_sink: more than %ld answers of %llu bytes\n", count, size);
    return 1;
  }
  return 0;
}
