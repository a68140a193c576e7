// The manual address as a user could type it: what parses formats back to a
// text that parses to the same value, and a refused text changes nothing.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/text.h"
#include "wifi/ip_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const CString text(WideFromUtf8(std::string_view(reinterpret_cast<const char*>(data), size)));
  constexpr std::uint32_t kUntouched = 0xDEADBEEF;
  std::uint32_t value = kUntouched;
  const int result = ParseIpAddress(text, value);
  if (result != 0) {
    if ((result != kIpEmpty && result != kIpInvalid) || value != kUntouched) std::abort();
    return 0;
  }
  std::uint32_t again = 0;
  if (ParseIpAddress(FormatIpAddress(value), again) != 0 || again != value) std::abort();
  return 0;
}
