// The Windows conversion calls over the program's own UTF-8 converters.
#include <locale.h>
#include <wctype.h>

#include <cstring>

#include "platform/text.h"

int WideCharToMultiByte(unsigned, unsigned long, const wchar_t* source, int sourceLength,
                        char* destination, int destinationSize, const char*, int*) {
  if (!source) return 0;
  const bool withTerminator = sourceLength < 0;
  const size_t n = withTerminator ? std::wcslen(source) : static_cast<size_t>(sourceLength);
  std::string bytes = Utf8FromWide(std::wstring_view(source, n));
  if (withTerminator) bytes += '\0';
  if (destinationSize == 0) return static_cast<int>(bytes.size());
  if (!destination || bytes.size() > static_cast<size_t>(destinationSize)) return 0;
  std::memcpy(destination, bytes.data(), bytes.size());
  return static_cast<int>(bytes.size());
}

int MultiByteToWideChar(unsigned, unsigned long, const char* source, int sourceLength,
                        wchar_t* destination, int destinationSize) {
  if (!source) return 0;
  const bool withTerminator = sourceLength < 0;
  const size_t n = withTerminator ? std::strlen(source) : static_cast<size_t>(sourceLength);
  std::wstring wide = WideFromUtf8(std::string_view(source, n));
  if (withTerminator) wide += L'\0';
  if (destinationSize == 0) return static_cast<int>(wide.size());
  if (!destination || wide.size() > static_cast<size_t>(destinationSize)) return 0;
  std::wmemcpy(destination, wide.data(), wide.size());
  return static_cast<int>(wide.size());
}

std::wstring UpperCaseName(std::wstring_view text) {
  // The C library's Unicode tables, whatever locale the process runs in; a
  // system without the UTF-8 locale gets plain ASCII folding.
  static const locale_t kUnicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  std::wstring upper(text);
  for (wchar_t& c : upper) {
    if (kUnicode)
      c = static_cast<wchar_t>(towupper_l(static_cast<wint_t>(c), kUnicode));
    else if (c >= L'a' && c <= L'z')
      c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return upper;
}
