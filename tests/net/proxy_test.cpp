// The proxy search over fake sources, and the WinHttpSettings value checks
// over byte blobs.
#include "net/proxy.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "core/product.h"
#include "net/http_session.h"
#include "tests/net/loopback_server.h"
#include "tests/net/winhttp_settings_value.h"
#include "tests/support/environment.h"

namespace {

using testing_support::WinHttpSettingsValue;

// Sources that answer what a test gives them and record what was asked.
class FakeSources : public CProxySources {
 public:
  std::optional<UserProxySettings> user;
  std::optional<std::wstring> autoProxy;
  std::optional<std::wstring> defaultProxy;
  bool wow64 = false;
  std::optional<std::vector<unsigned char>> registry;

  int autoQueries = 0;
  std::wstring askedUrl;
  bool askedAutoDetect = false;
  std::wstring askedConfigUrl;
  std::optional<bool> registryView;

  bool ReadUserSettings(UserProxySettings& settings) override {
    if (!user) return false;
    settings = *user;
    return true;
  }
  bool QueryAutoProxy(const std::wstring& url, bool autoDetect, const std::wstring& configUrl,
                      std::wstring& proxy) override {
    ++autoQueries;
    askedUrl = url;
    askedAutoDetect = autoDetect;
    askedConfigUrl = configUrl;
    if (!autoProxy) return false;
    proxy = *autoProxy;
    return true;
  }
  bool ReadDefaultProxy(std::wstring& proxy) override {
    if (!defaultProxy) return false;
    proxy = *defaultProxy;
    return true;
  }
  bool RunsUnderWow64() override { return wow64; }
  bool ReadWinHttpSettingsValue(bool view, std::vector<unsigned char>& value) override {
    registryView = view;
    if (!registry) return false;
    value = *registry;
    return true;
  }
};

// Overwrites one little-endian word of a value.
void PutWord(std::vector<unsigned char>& value, size_t offset, std::uint32_t word) {
  for (int i = 0; i < 4; ++i) value[offset + i] = static_cast<unsigned char>(word >> (8 * i));
}

UserProxySettings User(bool autoDetect, const wchar_t* configUrl, const wchar_t* proxy) {
  UserProxySettings settings;
  settings.bAutoDetect = autoDetect;
  settings.bHasAutoConfigUrl = configUrl != nullptr;
  if (configUrl) settings.strAutoConfigUrl = configUrl;
  settings.bHasProxy = proxy != nullptr;
  if (proxy) settings.strProxy = proxy;
  return settings;
}

TEST(ProxyChain, UserStaticProxyWinsOverAutoDetection) {
  FakeSources sources;
  sources.user = User(true, L"http://wpad/proxy.pac", L"http=10.0.0.1:3128");
  sources.autoProxy = L"auto:8080";
  sources.defaultProxy = L"machine:8080";
  CString proxy = L"untouched";
  ASSERT_TRUE(GetSystemProxy(proxy, sources));
  EXPECT_EQ(proxy, L"http=10.0.0.1:3128");
  EXPECT_EQ(sources.autoQueries, 0);
}

TEST(ProxyChain, AutoProxyIsAskedForTheUpdateServerRoot) {
  setenv("KORAL70_UPDATE_URL", "http://updates.example:8070", 1);
  LoadServerAddresses();
  FakeSources sources;
  sources.user = User(true, L"http://wpad/proxy.pac", nullptr);
  sources.autoProxy = L"auto:8080";
  CString proxy;
  ASSERT_TRUE(GetSystemProxy(proxy, sources));
  EXPECT_EQ(proxy, L"auto:8080");
  EXPECT_EQ(sources.askedUrl, L"http://updates.example:8070/");
  EXPECT_TRUE(sources.askedAutoDetect);  // both set: only auto-detection
  EXPECT_EQ(sources.askedConfigUrl, L"");

  sources.user = User(false, L"http://wpad/proxy.pac", nullptr);
  ASSERT_TRUE(GetSystemProxy(proxy, sources));
  EXPECT_FALSE(sources.askedAutoDetect);
  EXPECT_EQ(sources.askedConfigUrl, L"http://wpad/proxy.pac");
  unsetenv("KORAL70_UPDATE_URL");
  LoadServerAddresses();
}

TEST(ProxyChain, EmptyAnswersFallThroughToTheMachineDefault) {
  FakeSources sources;
  sources.defaultProxy = L"machine:8080";
  CString proxy;
  ASSERT_TRUE(GetSystemProxy(proxy, sources));  // user settings unreadable
  EXPECT_EQ(proxy, L"machine:8080");

  sources.user = User(false, nullptr, L"");  // present but empty
  proxy = L"";
  ASSERT_TRUE(GetSystemProxy(proxy, sources));
  EXPECT_EQ(proxy, L"machine:8080");

  sources.user = User(true, nullptr, nullptr);
  sources.autoProxy = L"";  // auto-proxy named nothing
  ASSERT_TRUE(GetSystemProxy(proxy, sources));
  EXPECT_EQ(proxy, L"machine:8080");
  EXPECT_EQ(sources.autoQueries, 1);
}

TEST(ProxyChain, RegistryValueIsTheLastSource) {
  FakeSources sources;
  sources.user = User(false, nullptr, nullptr);
  sources.registry = WinHttpSettingsValue(24, "reg-proxy:80");
  CString proxy;
  ASSERT_TRUE(GetSystemProxy(proxy, sources));
  EXPECT_EQ(proxy, L"reg-proxy:80");
  EXPECT_EQ(sources.registryView, std::optional<bool>(false));

  sources.wow64 = true;  // a WOW64 process reads the 64-bit view and expects 40
  proxy = L"kept";
  EXPECT_FALSE(GetSystemProxy(proxy, sources));
  EXPECT_EQ(proxy, L"kept");
  EXPECT_EQ(sources.registryView, std::optional<bool>(true));
  sources.registry = WinHttpSettingsValue(40, "reg-proxy:80");
  ASSERT_TRUE(GetSystemProxy(proxy, sources));
  EXPECT_EQ(proxy, L"reg-proxy:80");
}

TEST(ProxyChain, ProxyFlagWithAnEmptyTextMeansNoProxy) {
  FakeSources sources;
  sources.registry = WinHttpSettingsValue(24, "");
  wchar_t buffer[kProxyBufferChars] = {L'x'};
  EXPECT_TRUE(ReadWinHttpSettingsProxy(buffer, sources));
  EXPECT_EQ(buffer[0], 0);
  CString proxy = L"kept";
  EXPECT_FALSE(GetSystemProxy(proxy, sources));
  EXPECT_EQ(proxy, L"kept");
}

TEST(WinHttpSettings, HeaderWordMustMatchTheProcessKind) {
  wchar_t buffer[kProxyBufferChars];
  auto native = WinHttpSettingsValue(24, "p:1");
  auto wow = WinHttpSettingsValue(40, "p:1");
  EXPECT_TRUE(ParseWinHttpSettingsProxy(native.data(), native.size(), false, buffer));
  EXPECT_FALSE(ParseWinHttpSettingsProxy(native.data(), native.size(), true, buffer));
  EXPECT_TRUE(ParseWinHttpSettingsProxy(wow.data(), wow.size(), true, buffer));
  EXPECT_FALSE(ParseWinHttpSettingsProxy(wow.data(), wow.size(), false, buffer));
}

TEST(WinHttpSettings, SecondWordFlagAndSizeAreChecked) {
  wchar_t buffer[kProxyBufferChars];
  auto second = WinHttpSettingsValue(24, "p:1", 3, 1);
  EXPECT_FALSE(ParseWinHttpSettingsProxy(second.data(), second.size(), false, buffer));
  auto noFlag = WinHttpSettingsValue(24, "p:1", 1);
  EXPECT_FALSE(ParseWinHttpSettingsProxy(noFlag.data(), noFlag.size(), false, buffer));
  auto small = WinHttpSettingsValue(24, "");
  EXPECT_FALSE(ParseWinHttpSettingsProxy(small.data(), 19, false, buffer));
  EXPECT_TRUE(ParseWinHttpSettingsProxy(small.data(), 20, false, buffer));
  auto shortText = WinHttpSettingsValue(24, "proxy:8080");
  PutWord(shortText, 12, static_cast<std::uint32_t>(shortText.size() - 16 + 1));
  EXPECT_FALSE(ParseWinHttpSettingsProxy(shortText.data(), shortText.size(), false, buffer));
}

TEST(WinHttpSettings, ProxyTextUpTo1023BytesReadAsLatin1) {
  wchar_t buffer[kProxyBufferChars];
  auto longest = WinHttpSettingsValue(24, std::string(1023, 'a'));
  ASSERT_TRUE(ParseWinHttpSettingsProxy(longest.data(), longest.size(), false, buffer));
  EXPECT_EQ(std::wstring(buffer), std::wstring(1023, L'a'));
  auto tooLong = WinHttpSettingsValue(24, std::string(1024, 'a'));
  EXPECT_FALSE(ParseWinHttpSettingsProxy(tooLong.data(), tooLong.size(), false, buffer));
  auto latin = WinHttpSettingsValue(24, "pr\xe9x\xff:1");
  ASSERT_TRUE(ParseWinHttpSettingsProxy(latin.data(), latin.size(), false, buffer));
  EXPECT_EQ(std::wstring(buffer), L"pr\u00e9x\u00ff:1");
}

#ifndef _WIN32  // POSIX proxy source (libproxy); on Windows the sources are WinHTTP's and the registry's
// Through the real libproxy, whose environment module is what this machine
// has (no desktop settings, no script runner).
TEST(SystemProxySources, LibproxyNamesEachUrlsProxyFromTheEnvironment) {
  setenv("http_proxy", "http://127.0.0.1:3128", 1);
  setenv("no_proxy", "manuals.example", 1);
  CString proxy;
  ASSERT_TRUE(GetSystemProxy(proxy));
  EXPECT_EQ(proxy, L"http://127.0.0.1:3128");
  proxy = L"kept";
  EXPECT_FALSE(GetSystemProxyFor(L"http://manuals.example/en.pdf", proxy));
  EXPECT_EQ(proxy, L"kept");
  unsetenv("no_proxy");
  unsetenv("http_proxy");
  unsetenv("HTTP_PROXY");
  proxy = L"kept";
  EXPECT_FALSE(GetSystemProxy(proxy));
  EXPECT_EQ(proxy, L"kept");
}

// A proxy script, run by libproxy's script runner, names the proxy through
// which a session then reaches a server whose name never resolves here.
TEST(SystemProxySources, AProxyScriptChoosesEachUrlsProxyAndTheSessionUsesIt) {
  if (!std::filesystem::exists("/usr/lib/x86_64-linux-gnu/libproxy/0.4.18/modules/pacrunner_webkit.so"))
    GTEST_SKIP() << "no proxy script runner (libproxy1-plugin-webkit)";
#if defined(__SANITIZE_ADDRESS__)
  // LeakSanitizer's check at the end of the process stops every thread, and
  // the runner's JavaScriptCore threads (which take signal 10 for their own
  // garbage collector) then crash it; with the JIT off it reports what the
  // unloaded runner kept, in modules it can no longer name.
  GTEST_SKIP() << "the proxy script runner's JavaScriptCore does not survive LeakSanitizer's check at exit";
#endif
  testing_support::LoopbackServer proxyServer, scriptServer;
  std::string seen;
  proxyServer.Server().Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
    seen = request.path;  // a proxy is asked for the whole URL
    response.set_content("through the proxy", "text/plain");
  });
  ASSERT_TRUE(proxyServer.Start());
  const std::string script = "function FindProxyForURL(url, host) { return host == \"direct.invalid\" ? "
                             "\"DIRECT\" : \"PROXY 127.0.0.1:" + std::to_string(proxyServer.Port()) + "\"; }";
  scriptServer.Server().Get("/proxy.pac", [&](const httplib::Request&, httplib::Response& response) {
    response.set_content(script, "application/x-ns-proxy-autoconfig");
  });
  ASSERT_TRUE(scriptServer.Start());
  setenv("http_proxy", ("pac+" + scriptServer.BaseUrl() + "/proxy.pac").c_str(), 1);
  CString proxy;
  EXPECT_FALSE(GetSystemProxyFor(L"http://direct.invalid/", proxy));
  ASSERT_TRUE(GetSystemProxyFor(L"http://manuals.invalid/en.pdf", proxy));
  unsetenv("http_proxy");
  CHttpSession session;
  session.SetProxy(proxy);
  session.SetUrlA("http://manuals.invalid/en.pdf");
  ASSERT_EQ(session.Perform(), HttpResult::kOk);
  EXPECT_EQ(session.BodyText(), "through the proxy");
  EXPECT_EQ(seen, "http://manuals.invalid/en.pdf");
}
#endif

}  // namespace
