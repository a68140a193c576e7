// setenv and unsetenv for the tests on every system: the C library's own on
// POSIX; on Windows the same calls over the C runtime's wide environment,
// which the program reads and which child processes inherit.
#pragma once

#include <cstdlib>

#ifdef _WIN32
#include "platform/text.h"

inline int setenv(const char* name, const char* value, int overwrite) {
  const std::wstring wideName = WideFromUtf8(name);
  if (!overwrite && _wgetenv(wideName.c_str())) return 0;
  // An empty value would remove the variable on Windows; tests that set ""
  // mean "not set" there as well.
  return _wputenv_s(wideName.c_str(), WideFromUtf8(value).c_str()) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) { return _wputenv_s(WideFromUtf8(name).c_str(), L"") == 0 ? 0 : -1; }
#endif
