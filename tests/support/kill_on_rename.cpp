// A fault injector for kill tests, loaded into the client with LD_PRELOAD: it
// ends the process with SIGKILL at a chosen rename, the moment at which a
// replacing write or a swap is most fragile.
//
//   KORAL70_KILL_ON_RENAME=N        the N-th matching rename (1-based)
//   KORAL70_KILL_ON_RENAME_MATCH=S  count only renames whose source or target
//                                   path contains S (all renames when unset)
//   KORAL70_KILL_ON_RENAME_AFTER=1  kill just after that rename succeeded,
//                                   instead of just before it
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<long> g_matchingRenames{0};

bool Matches(const char* from, const char* to) {
  const char* match = std::getenv("KORAL70_KILL_ON_RENAME_MATCH");
  if (!match || !*match) return true;
  return (from && std::strstr(from, match)) || (to && std::strstr(to, match));
}

// The rename call counts when it matches; returns true when it is the one.
bool IsTheChosenRename(const char* from, const char* to) {
  const char* nth = std::getenv("KORAL70_KILL_ON_RENAME");
  if (!nth || !Matches(from, to)) return false;
  return ++g_matchingRenames == std::atol(nth);
}

bool KillAfter() {
  const char* after = std::getenv("KORAL70_KILL_ON_RENAME_AFTER");
  return after && std::strcmp(after, "1") == 0;
}

template <typename Call>
int Intercept(const char* from, const char* to, Call call) {
  const bool chosen = IsTheChosenRename(from, to);
  if (chosen && !KillAfter()) raise(SIGKILL);
  const int result = call();
  if (chosen) raise(SIGKILL);
  return result;
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int rename(const char* from, const char* to) {
  static auto next = Next<int (*)(const char*, const char*)>("rename");
  return Intercept(from, to, [&] { return next(from, to); });
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
  static auto next = Next<int (*)(int, const char*, int, const char*)>("renameat");
  return Intercept(from, to, [&] { return next(fromDir, from, toDir, to); });
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
  static auto next = Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
  return Intercept(from, to, [&] { return next(fromDir, from, toDir, to, flags); });
}

}
