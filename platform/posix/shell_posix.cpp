#include "platform/shell_launch.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// Starts argv detached from us: the child is reaped by an intermediate
// process so that it outlives this program without becoming a zombie.
bool SpawnDetached(const std::vector<std::string>& args) {
  pid_t middle = fork();
  if (middle < 0) return false;
  if (middle == 0) {
    setsid();
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child;
    int rc = posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    _exit(rc == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(middle, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool RunOpener(const std::string& target) {
  std::vector<char*> argv = {const_cast<char*>("xdg-open"), const_cast<char*>(target.c_str()),
                             nullptr};
  pid_t child;
  if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  if (waitpid(child, &status, 0) < 0) return false;
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
  return SpawnDetached(args);
}

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool OpenWithDesktop(const std::string& target) { return RunOpener(target); }
