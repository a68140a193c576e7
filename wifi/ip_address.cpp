#include "wifi/ip_address.h"

#include <cwctype>

namespace {
// Reads one number as "%d" would (white space, an optional sign, decimal
// digits) and accepts it only within 0..255, so that no number can spill
// into its neighbours' bytes.
bool ReadOctet(const wchar_t*& p, std::uint32_t& octet) {
  while (std::iswspace(static_cast<wint_t>(*p))) ++p;
  bool negative = false;
  if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
  if (*p < L'0' || *p > L'9') return false;
  std::uint32_t n = 0;
  for (; *p >= L'0' && *p <= L'9'; ++p) {
    n = n * 10 + static_cast<std::uint32_t>(*p - L'0');
    if (n > 255) return false;
  }
  if (negative && n != 0) return false;
  octet = n;
  return true;
}
}  // namespace

CString FormatIpAddress(std::uint32_t value) {
  CString text;
  text.Format(L"%d.%d.%d.%d", static_cast<int>(value >> 24), static_cast<int>((value >> 16) & 255),
              static_cast<int>((value >> 8) & 255), static_cast<int>(value & 255));
  return text;
}

int ParseIpAddress(const CString& text, std::uint32_t& value) {
  if (text.IsEmpty()) return kIpEmpty;
  const wchar_t* p = text;
  std::uint32_t address = 0;
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && *p++ != L'.') return kIpInvalid;
    std::uint32_t octet = 0;
    if (!ReadOctet(p, octet)) return kIpInvalid;
    address = (address << 8) | octet;
  }
  value = address;
  return 0;
}
