// The registry value WinHttpSettings as a machine could hold it, read by
// both the native and the 32-on-64-bit process. The buffer is exactly the
// size the callers give, so any write past it is caught.
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <memory>

#include "net/proxy.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (const bool wow64 : {false, true}) {
    const auto buffer = std::make_unique<wchar_t[]>(kProxyBufferChars);
    if (!ParseWinHttpSettingsProxy(data, size, wow64, buffer.get())) continue;
    const std::uint32_t length = std::uint32_t{data[12]} | std::uint32_t{data[13]} << 8 |
                                 std::uint32_t{data[14]} << 16 | std::uint32_t{data[15]} << 24;
    if (length >= kProxyBufferChars || size < 16 + length || buffer[length] != 0) std::abort();
    for (std::uint32_t i = 0; i < length; ++i)
      if (buffer[i] != data[16 + i]) std::abort();
  }
  return 0;
}
