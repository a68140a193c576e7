#include "platform/proxy_sources.h"

#include <proxy.h>

#include "platform/text.h"

// The desktop's proxy comes from libproxy, asked afresh for each URL: it
// reads the desktop's settings (GNOME, KDE), runs a configuration script
// (PAC, WPAD) where a runner for one is installed, and reads the proxy
// environment variables. There is no machine default and no registry value.
bool ReadUserProxySettings(UserProxySettings& settings) {
  settings = UserProxySettings();
  settings.bAutoDetect = true;
  return true;
}

namespace {
// The proxies of libproxy's answer that the transfer library speaks.
bool IsUsableProxy(const std::string& proxy) {
  for (const char* scheme : {"http://", "socks4://", "socks4a://", "socks5://", "socks5h://"})
    if (proxy.rfind(scheme, 0) == 0) return true;
  return false;
}
}  // namespace

bool QueryAutoProxy(const std::wstring& url, bool, const std::wstring&, std::wstring& proxy) {
  pxProxyFactory* factory = px_proxy_factory_new();
  if (!factory) return false;
  bool found = false;
  if (char** proxies = px_proxy_factory_get_proxies(factory, Utf8FromWide(url).c_str())) {
    // The list is in the order to try; its first entry the transfer library
    // can use is taken, unless a direct connection comes before it.
    for (char** entry = proxies; *entry && !found; ++entry) {
      const std::string candidate = *entry;
      if (candidate.rfind("direct://", 0) == 0) break;
      if (IsUsableProxy(candidate)) {
        proxy = WideFromUtf8(candidate);
        found = true;
      }
    }
    px_proxy_factory_free_proxies(proxies);
  }
  px_proxy_factory_free(factory);
  return found;
}

bool ReadDefaultProxy(std::wstring&) { return false; }

bool RunsUnderWow64() { return false; }

bool ReadWinHttpSettingsValue(bool, std::vector<unsigned char>&) { return false; }
