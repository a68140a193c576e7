#include "platform/proxy_sources.h"

#include "platform/system.h"
#include "platform/text.h"

// The user's static proxy is what the environment names for HTTP; the
// other sources do not exist on this system.
bool ReadUserProxySettings(UserProxySettings& settings) {
  settings = UserProxySettings();
  std::string proxy = GetEnvironmentText("http_proxy");
  if (proxy.empty()) proxy = GetEnvironmentText("HTTP_PROXY");
  if (!proxy.empty()) {
    settings.bHasProxy = true;
    settings.strProxy = WideFromUtf8(proxy);
  }
  return true;
}

bool QueryAutoProxy(const std::wstring&, bool, const std::wstring&, std::wstring&) { return false; }

bool ReadDefaultProxy(std::wstring&) { return false; }

bool RunsUnderWow64() { return false; }

bool ReadWinHttpSettingsValue(bool, std::vector<unsigned char>&) { return false; }
