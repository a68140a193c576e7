#include "platform/shell_launch.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {
std::vector<std::string> SplitParameters(const std::string& parameters) {
  std::vector<std::string> words;
  std::istringstream in(parameters);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// How long the desktop's opener has to say that it cannot open a document.
// One that still runs then has started a program that shows it: xdg-open
// stays until a browser that it had to start is closed.
constexpr int kOpenerVerdictMs = 2000;
constexpr int kVerdictPollMs = 20;

// Starts argv (a path, or a name looked up on PATH) detached from us: an
// intermediate process starts it and ends, so that it outlives this program
// and its new parent reaps it. With a verdict time the intermediate first
// waits up to that long: a child that ended by then succeeded only with
// status 0, one still running has started. After the fork only calls that
// are safe in the child of a threaded program.
bool SpawnDetached(const std::vector<std::string>& args, int verdictMs) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t middle = fork();
  if (middle < 0) return false;
  if (middle == 0) {
    setsid();
    pid_t child;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) _exit(1);
    const timespec pause{0, kVerdictPollMs * 1000000L};
    for (int waited = 0; waited < verdictMs; waited += kVerdictPollMs) {
      int status = 0;
      if (waitpid(child, &status, WNOHANG) == child)
        _exit(WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1);
      nanosleep(&pause, nullptr);
    }
    _exit(0);
  }
  int status = 0;
  if (waitpid(middle, &status, 0) < 0) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
}  // namespace

bool IsProgramFile(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return HasProgramSuffix(path) || (st.st_mode & S_IXUSR);
}

bool StartProgram(const std::string& path, const std::string& parameters) {
  // A program copied onto the card by a plain file write has no execute
  // permission yet; the owner may give it one.
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && !(st.st_mode & S_IXUSR)) chmod(path.c_str(), st.st_mode | S_IXUSR);
  std::vector<std::string> args = {path.find('/') == std::string::npos ? "./" + path : path};
  for (auto& p : SplitParameters(parameters)) args.push_back(p);
  return SpawnDetached(args, 0);
}

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool OpenWithDesktop(const std::string& target) {
  return SpawnDetached({"xdg-open", target}, kOpenerVerdictMs);
}
