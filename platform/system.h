// Kernel facilities with their Windows names: the user's display language,
// the module path, the tick count, sleeping and the per-user temporary folder
// (on Windows the real ones); the program's folder, the environment and the
// program's arguments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/wintypes.h"

#ifndef _WIN32

// Language id from the locale environment: ja / ja_JP* give 0x0411, en_US*
// 0x0409, anything else a non-Japanese id.
LANGID GetUserDefaultUILanguage();
// The same mapping over one locale text, for tests.
LANGID LanguageIdFromLocale(const char* locale);

// Full path of the running program, cut to the buffer (always terminated
// when size > 0). Returns the number of characters stored, without the
// terminator. The module handle is ignored: there is only the program.
DWORD GetModuleFileNameW(HINSTANCE module, wchar_t* buffer, DWORD size);
DWORD GetModuleFileNameA(HINSTANCE module, char* buffer, DWORD size);

ULONGLONG GetTickCount64();
void Sleep(DWORD milliseconds);

// The private per-user temporary folder, with a trailing '/'. Returns the
// length stored, 0 on failure (no safe folder, or the buffer is too small).
DWORD GetTempPathW(DWORD size, wchar_t* buffer);
#endif

// Whether folder is the one that holds the running program's file.
bool IsProgramFolder(const std::wstring& folder);

// A variable of the environment in UTF-8, or "" when it is not set.
std::string GetEnvironmentText(const char* name);

// The program's arguments after its name, as the user gave them (on Windows
// from the wide command line, elsewhere from UTF-8 argv).
std::vector<std::wstring> ProgramArguments(int argc, char** argv);
