#include "platform/system.h"

#include <shellapi.h>

#include <cstdlib>

#include "platform/text.h"

std::string GetEnvironmentText(const char* name) {
  const wchar_t* value = _wgetenv(WideFromUtf8(name).c_str());
  return value ? Utf8FromWide(value) : std::string();
}

std::vector<std::wstring> ProgramArguments(int, char**) {
  // The narrow argv is in the ANSI code page; the wide command line holds
  // every character the user typed.
  std::vector<std::wstring> arguments;
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(words[i]);
  LocalFree(words);
  return arguments;
}
