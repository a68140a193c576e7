#include "platform/proxy_sources.h"

#include "platform/wintypes.h"

#include <winhttp.h>

namespace {
// Takes a string WinHTTP allocated: copies it out when present, frees it.
bool TakeString(LPWSTR text, std::wstring& out) {
  if (!text) return false;
  out = text;
  GlobalFree(text);
  return true;
}

void FreeString(LPWSTR text) {
  if (text) GlobalFree(text);
}
}  // namespace

bool ReadUserProxySettings(UserProxySettings& settings) {
  settings = UserProxySettings();
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
  if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) return false;
  settings.bAutoDetect = config.fAutoDetect != FALSE;
  settings.bHasAutoConfigUrl = TakeString(config.lpszAutoConfigUrl, settings.strAutoConfigUrl);
  settings.bHasProxy = TakeString(config.lpszProxy, settings.strProxy);
  FreeString(config.lpszProxyBypass);  // bypass lists are never used
  return true;
}

bool QueryAutoProxy(const std::wstring& url, bool autoDetect, const std::wstring& configUrl,
                    std::wstring& proxy) {
  const HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                        WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session) return false;
  WINHTTP_AUTOPROXY_OPTIONS options{};
  if (autoDetect) {
    options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
  } else {
    options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
    options.lpszAutoConfigUrl = configUrl.c_str();
  }
  options.fAutoLogonIfChallenged = FALSE;
  WINHTTP_PROXY_INFO info{};
  const bool answered = WinHttpGetProxyForUrl(session, url.c_str(), &options, &info);
  std::wstring found;
  TakeString(info.lpszProxy, found);
  FreeString(info.lpszProxyBypass);
  WinHttpCloseHandle(session);
  if (!answered || found.empty()) return false;
  proxy = found;
  return true;
}

bool ReadDefaultProxy(std::wstring& proxy) {
  WINHTTP_PROXY_INFO info{};
  if (!WinHttpGetDefaultProxyConfiguration(&info)) return false;
  std::wstring found;
  TakeString(info.lpszProxy, found);
  FreeString(info.lpszProxyBypass);
  if (found.empty()) return false;
  proxy = found;
  return true;
}

bool RunsUnderWow64() {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  const HMODULE kernel = GetModuleHandleW(L"kernel32");
  const auto isWow64 = kernel ? reinterpret_cast<IsWow64ProcessFunction>(
                                    reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                              : nullptr;
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

bool ReadWinHttpSettingsValue(bool wow64, std::vector<unsigned char>& value) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections",
                    0, KEY_READ | (wow64 ? KEY_WOW64_64KEY : 0), &key) != ERROR_SUCCESS)
    return false;
  DWORD type = 0, size = 0;
  bool read = false;
  if (RegQueryValueExW(key, L"WinHttpSettings", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_BINARY && size > 0) {
    const HANDLE heap = GetProcessHeap();
    if (auto* block = static_cast<BYTE*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, size))) {
      DWORD got = size;
      read = RegQueryValueExW(key, L"WinHttpSettings", nullptr, &type, block, &got) == ERROR_SUCCESS &&
             type == REG_BINARY;
      if (read) value.assign(block, block + got);
      HeapFree(heap, 0, block);
    }
  }
  RegCloseKey(key);
  return read;
}
