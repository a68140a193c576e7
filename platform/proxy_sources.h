// The system's proxy settings, source by source. On Windows these are the
// current user's WinHTTP/IE settings, WinHTTP's auto-proxy, the machine's
// default WinHTTP proxy and the registry value WinHttpSettings. Elsewhere the
// user's settings ask for auto-detection, which libproxy answers per URL
// from the desktop's settings, a configuration script or the environment.
#pragma once

#include <string>
#include <vector>

// The current user's proxy settings. A string is "present" when its flag is
// set; it may still be empty.
struct UserProxySettings {
  bool bAutoDetect = false;
  bool bHasAutoConfigUrl = false;
  std::wstring strAutoConfigUrl;
  bool bHasProxy = false;
  std::wstring strProxy;
};

// False when the settings cannot be read.
bool ReadUserProxySettings(UserProxySettings& settings);
// Evaluates auto-detection (autoDetect) or the configuration script at
// configUrl for url; false when it names no proxy.
bool QueryAutoProxy(const std::wstring& url, bool autoDetect, const std::wstring& configUrl,
                    std::wstring& proxy);
// The machine's default proxy; false when there is none.
bool ReadDefaultProxy(std::wstring& proxy);
// Whether this is a 32-bit process on a 64-bit system.
bool RunsUnderWow64();
// The raw bytes of the WinHttpSettings value (from the 64-bit registry view
// when wow64 is set); false when the value is missing or not binary.
bool ReadWinHttpSettingsValue(bool wow64, std::vector<unsigned char>& value);
