// Text conversion between wide strings and UTF-8, with the Windows calls'
// names and results (on Windows the real ones): counts include the
// terminator when the source length is -1, and 0 means failure (including a
// destination that is too small).
#pragma once

#include <string>
#include <string_view>

#include "platform/wintypes.h"

#ifndef _WIN32
constexpr unsigned CP_UTF8 = 65001;

int WideCharToMultiByte(unsigned codePage, unsigned long flags, const wchar_t* source,
                        int sourceLength, char* destination, int destinationSize,
                        const char* defaultChar, int* usedDefault);
int MultiByteToWideChar(unsigned codePage, unsigned long flags, const char* source,
                        int sourceLength, wchar_t* destination, int destinationSize);
#endif

// Whole-string conversions for code that does not work in fixed buffers.
// Wide strings are UTF-16 where wchar_t has 16 bits (Windows) and UTF-32
// elsewhere. Malformed UTF-8 and lone surrogates become U+FFFD, as the
// Windows decoder does.
std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);

// Number of UTF-16 code units that the text needs (characters beyond the
// basic plane take two).
size_t Utf16Length(std::wstring_view text);

// The text in upper case as file systems that ignore letter case compare
// names (each character on its own, by the system's Unicode tables).
std::wstring UpperCaseName(std::wstring_view text);
