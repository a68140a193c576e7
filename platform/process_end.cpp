#include "platform/process_end.h"

#include <cstdio>
#include <cstdlib>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORAL70_LEAK_CHECK 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KORAL70_LEAK_CHECK 1
#endif

#ifdef KORAL70_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

void EndProcess(int code) {
  std::fflush(stdout);
#ifdef KORAL70_LEAK_CHECK
  // _Exit skips the exit-time check; this one ends the process with the
  // sanitizer's failure code when something leaked.
  __lsan_do_leak_check();
#endif
  std::_Exit(code);
}
