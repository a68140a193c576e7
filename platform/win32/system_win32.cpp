#include "platform/system.h"

#include <shellapi.h>

#include <cstdlib>

#include "platform/text.h"

bool IsProgramFolder(const std::wstring& folder) {
  wchar_t program[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  wchar_t full[MAX_PATH];
  if (length == 0 || length >= MAX_PATH || GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr) == 0)
    return false;
  std::wstring programFolder(program, length);
  programFolder.erase(programFolder.find_last_of(L"\\/"));
  std::wstring given(full);
  while (given.size() > 3 && (given.back() == L'\\' || given.back() == L'/')) given.pop_back();
  // A drive's root keeps its separator ("K:\"); the program's folder lost it.
  if (programFolder.size() == 2) programFolder += L'\\';
  return CompareStringOrdinal(programFolder.c_str(), -1, given.c_str(), -1, TRUE) == CSTR_EQUAL;
}

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
