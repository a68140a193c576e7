// The bytes of a WinHttpSettings registry value, as netsh writes it: the
// header word, a second word, the flags, the proxy text's length and the
// text, then an empty bypass list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

inline std::vector<unsigned char> WinHttpSettingsValue(std::uint32_t header, const std::string& proxy,
                                                       std::uint32_t flags = 3, std::uint32_t second = 0) {
  std::vector<unsigned char> value;
  for (const std::uint32_t word : {header, second, flags, static_cast<std::uint32_t>(proxy.size())})
    for (int shift = 0; shift < 32; shift += 8) value.push_back(static_cast<unsigned char>(word >> shift));
  value.insert(value.end(), proxy.begin(), proxy.end());
  value.resize(value.size() + 4);  // the bypass list's length, 0
  return value;
}

}  // namespace testing_support
