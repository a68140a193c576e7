#include "shell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/automation.h"
#include "platform/files.h"
#include "platform/text.h"

extern char** environ;

namespace {
constexpr std::intptr_t kSuccess = 42;
constexpr std::intptr_t kFileNotFound = 2;
constexpr std::intptr_t kNoAssociation = 31;

HINSTANCE Code(std::intptr_t value) { return reinterpret_cast<HINSTANCE>(value); }

bool EndsWithExe(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".exe";
}

bool IsProgram(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return EndsWithExe(path) || (st.st_mode & S_IXUSR);
}

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

HINSTANCE Open(const std::string& verb, const std::string& file, const std::string& parameters) {
  const bool url = file.find("://") != std::string::npos;
  const std::string native = url ? file : NativePath(file.c_str());
  if (IsHeadlessShell()) {
    std::string line = "ShellExecute: " + verb + " " + native;
    if (!parameters.empty()) line += " " + parameters;
    WriteAutomationLine(EscapeAutomationText(WideFromUtf8(line)));
  }
  if (verb != "open") return Code(kNoAssociation);
  if (!url && IsProgram(native)) {
    // A program copied onto the card by a plain file write has no execute
    // permission yet; the owner may give it one.
    struct stat st;
    if (stat(native.c_str(), &st) == 0 && !(st.st_mode & S_IXUSR))
      chmod(native.c_str(), st.st_mode | S_IXUSR);
    std::vector<std::string> args = {native.find('/') == std::string::npos ? "./" + native : native};
    for (auto& p : SplitParameters(parameters)) args.push_back(p);
    return SpawnDetached(args) ? Code(kSuccess) : Code(kFileNotFound);
  }
  if (IsHeadlessShell()) return Code(kSuccess);
  if (!url && access(native.c_str(), F_OK) != 0) return Code(kFileNotFound);
  return RunOpener(native) ? Code(kSuccess) : Code(kNoAssociation);
}
}  // namespace

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR, int) {
  return Open(Utf8FromWide(verb ? verb : L"open"), Utf8FromWide(file ? file : L""),
              Utf8FromWide(parameters ? parameters : L""));
}

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR, int) {
  return Open(verb ? verb : "open", file ? file : "", parameters ? parameters : "");
}
