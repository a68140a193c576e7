// Proxy discovery: the proxy that the system names for the update server,
// looked up afresh by every operation before its first request.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "framework/cstring.h"
#include "platform/proxy_sources.h"

// The four places a proxy can come from, in the order they are asked.
class CProxySources {
 public:
  virtual ~CProxySources() = default;
  virtual bool ReadUserSettings(UserProxySettings& settings) = 0;
  virtual bool QueryAutoProxy(const std::wstring& url, bool autoDetect,
                              const std::wstring& configUrl, std::wstring& proxy) = 0;
  virtual bool ReadDefaultProxy(std::wstring& proxy) = 0;
  virtual bool RunsUnderWow64() = 0;
  virtual bool ReadWinHttpSettingsValue(bool wow64, std::vector<unsigned char>& value) = 0;
};

// The sources of the system the program runs on.
CProxySources& SystemProxySources();

constexpr size_t kProxyBufferChars = 1024;

// True with the proxy stored when a source names one; false, proxy
// untouched, otherwise.
// The proxy for the update server's URL.
bool GetSystemProxy(CString& proxy);
bool GetSystemProxy(CString& proxy, CProxySources& sources);
// The proxy for url (an address a server named, such as the manual's).
bool GetSystemProxyFor(const std::wstring& url, CString& proxy);
bool GetSystemProxyFor(const std::wstring& url, CString& proxy, CProxySources& sources);

// The proxy text of the registry value WinHttpSettings into a buffer of
// kProxyBufferChars characters, zero-terminated; false when the value
// yields none.
bool ReadWinHttpSettingsProxy(wchar_t* buffer);
bool ReadWinHttpSettingsProxy(wchar_t* buffer, CProxySources& sources);
// The checks and the copy over the value's bytes alone.
bool ParseWinHttpSettingsProxy(const unsigned char* value, size_t size, bool wow64,
                               wchar_t* buffer);
