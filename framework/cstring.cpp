#include "cstring.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

std::wstring TranslateWideFormat(const wchar_t* format) {
  std::wstring out;
  for (const wchar_t* p = format; *p; ++p) {
    out += *p;
    if (*p != L'%') continue;
    ++p;
    if (*p == L'%') {
      out += L'%';
      continue;
    }
    // Flags, width, precision and length modifiers pass through unchanged.
    bool explicitLength = false;
    while (*p && std::wcschr(L"-+ #0123456789.*hlLqjzt", *p)) {
      if (*p == L'h' || *p == L'l') explicitLength = true;
      out += *p++;
    }
    if (!*p) break;
    if (!explicitLength && (*p == L's' || *p == L'c')) {
      out += L'l';
      out += *p;
    } else if (!explicitLength && *p == L'S') {
      out += L's';
    } else if (!explicitLength && *p == L'C') {
      out += L'c';
    } else {
      out += *p;
    }
  }
  return out;
}

void CString::FormatRaw(const wchar_t* format, ...) {
  const std::wstring fmt = TranslateWideFormat(format ? format : L"");
  std::vector<wchar_t> buffer(256);
  for (;;) {
    va_list args;
    va_start(args, format);
    int n = std::vswprintf(buffer.data(), buffer.size(), fmt.c_str(), args);
    va_end(args);
    if (n >= 0 && static_cast<size_t>(n) < buffer.size()) {
      m_str.assign(buffer.data(), static_cast<size_t>(n));
      return;
    }
    // vswprintf reports -1 both for a too small buffer and for an encoding
    // error; stop growing at a size no caller of the program reaches.
    if (buffer.size() >= (1u << 24)) {
      m_str.clear();
      return;
    }
    buffer.resize(buffer.size() * 4);
  }
}
