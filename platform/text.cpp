#include "text.h"

#include <cstring>

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; advances i. Malformed input gives
// U+FFFD and consumes one byte.
char32_t DecodeOne(std::string_view text, size_t& i) {
  const unsigned char b0 = static_cast<unsigned char>(text[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int extra;
  char32_t c;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    c = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    c = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    c = b0 & 0x07;
  } else {
    ++i;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k) {
    if (i + k >= text.size()) {
      ++i;
      return 0xFFFD;
    }
    const unsigned char b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (b & 0x3F);
  }
  static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return 0xFFFD;
  }
  i += static_cast<size_t>(extra) + 1;
  return c;
}

}  // namespace

std::string Utf8FromWide(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t w : text) AppendUtf8(out, static_cast<char32_t>(w));
  return out;
}

std::wstring WideFromUtf8(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) out += static_cast<wchar_t>(DecodeOne(text, i));
  return out;
}

size_t Utf16Length(std::wstring_view text) {
  size_t n = 0;
  for (wchar_t w : text) n += static_cast<char32_t>(w) > 0xFFFF ? 2 : 1;
  return n;
}

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
