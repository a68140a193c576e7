#include "net/proxy.h"

#include "core/product.h"

namespace {

class CPlatformProxySources : public CProxySources {
 public:
  bool ReadUserSettings(UserProxySettings& settings) override {
    return ::ReadUserProxySettings(settings);
  }
  bool QueryAutoProxy(const std::wstring& url, bool autoDetect, const std::wstring& configUrl,
                      std::wstring& proxy) override {
    return ::QueryAutoProxy(url, autoDetect, configUrl, proxy);
  }
  bool ReadDefaultProxy(std::wstring& proxy) override { return ::ReadDefaultProxy(proxy); }
  bool RunsUnderWow64() override { return ::RunsUnderWow64(); }
  bool ReadWinHttpSettingsValue(bool wow64, std::vector<unsigned char>& value) override {
    return ::ReadWinHttpSettingsValue(wow64, value);
  }
};

// Header words of WinHttpSettings: the value as a 32-bit process on 64-bit
// Windows sees it, and as every other process does.
constexpr std::uint32_t kHeaderWow64 = 40;
constexpr std::uint32_t kHeaderNative = 24;
constexpr std::uint32_t kFlagProxy = 2;
constexpr size_t kMinValueSize = 20;
constexpr size_t kProxyTextOffset = 16;

std::uint32_t WordAt(const unsigned char* value, size_t offset) {
  return std::uint32_t{value[offset]} | std::uint32_t{value[offset + 1]} << 8 |
         std::uint32_t{value[offset + 2]} << 16 | std::uint32_t{value[offset + 3]} << 24;
}

}  // namespace

CProxySources& SystemProxySources() {
  static CPlatformProxySources sources;
  return sources;
}

bool GetSystemProxy(CString& proxy) { return GetSystemProxy(proxy, SystemProxySources()); }

bool GetSystemProxy(CString& proxy, CProxySources& sources) {
  return GetSystemProxyFor((UpdateBaseUrl() + L"/").str(), proxy, sources);
}

bool GetSystemProxyFor(const std::wstring& url, CString& proxy) {
  return GetSystemProxyFor(url, proxy, SystemProxySources());
}

bool GetSystemProxyFor(const std::wstring& url, CString& proxy, CProxySources& sources) {
  std::wstring result;
  UserProxySettings user;
  if (sources.ReadUserSettings(user)) {
    if (user.bHasProxy) {
      result = user.strProxy;
    } else if (user.bAutoDetect || user.bHasAutoConfigUrl) {
      // With both set, only auto-detection is used.
      std::wstring found;
      if (sources.QueryAutoProxy(url, user.bAutoDetect,
                                 user.bAutoDetect ? std::wstring() : user.strAutoConfigUrl, found))
        result = found;
    }
  }
  if (result.empty()) {
    std::wstring found;
    if (sources.ReadDefaultProxy(found)) result = found;
  }
  if (result.empty()) {
    wchar_t buffer[kProxyBufferChars];
    if (ReadWinHttpSettingsProxy(buffer, sources)) result = buffer;
  }
  if (result.empty()) return false;
  proxy = CString(result);
  return true;
}

bool ReadWinHttpSettingsProxy(wchar_t* buffer) {
  return ReadWinHttpSettingsProxy(buffer, SystemProxySources());
}

bool ReadWinHttpSettingsProxy(wchar_t* buffer, CProxySources& sources) {
  const bool wow64 = sources.RunsUnderWow64();
  std::vector<unsigned char> value;
  if (!sources.ReadWinHttpSettingsValue(wow64, value)) return false;
  return ParseWinHttpSettingsProxy(value.data(), value.size(), wow64, buffer);
}

bool ParseWinHttpSettingsProxy(const unsigned char* value, size_t size, bool wow64,
                               wchar_t* buffer) {
  if (!value || size < kMinValueSize) return false;
  const std::uint32_t length = WordAt(value, 12);
  if (WordAt(value, 0) != (wow64 ? kHeaderWow64 : kHeaderNative) || WordAt(value, 4) != 0 ||
      !(WordAt(value, 8) & kFlagProxy) || length >= kProxyBufferChars ||
      size < kProxyTextOffset + length)
    return false;
  // One byte per character, read as Latin-1.
  for (std::uint32_t i = 0; i < length; ++i) buffer[i] = value[kProxyTextOffset + i];
  buffer[length] = 0;
  return true;
}
