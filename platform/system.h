// Kernel facilities with their Windows names: the user's display language,
// the module path, the tick count, sleeping, the per-user temporary folder and
// the environment.
#pragma once

#include <cstdint>
#include <string>

#include "platform/wintypes.h"

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

// A variable of the environment, or "" when it is not set.
std::string GetEnvironmentText(const char* name);
