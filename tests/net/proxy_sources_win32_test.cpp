// The Windows proxy sources themselves: the current user's connection
// settings, the configuration script WinHTTP evaluates, the machine's
// WinHTTP settings, the proxy search over all of them, and an update that
// goes through the proxy the user's settings name. Each test writes
// the registry values a settings dialog or netsh would write, and puts the
// previous values back when it ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "net/proxy.h"
#include "platform/proxy_sources.h"
#include "tests/net/loopback_server.h"
#include "tests/net/winhttp_settings_value.h"
#include "tests/support/temp_card.h"
#include "tests/update/server_data.h"
#include "tests/update/update_window.h"

namespace {

using testing_support::WinHttpSettingsValue;

constexpr wchar_t kConnections[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";

// One registry value, set for the test's duration.
class ScopedRegistryValue {
 public:
  ScopedRegistryValue(HKEY root, const wchar_t* name, const std::vector<unsigned char>& bytes)
      : m_name(name) {
    if (RegCreateKeyExW(root, kConnections, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr) !=
        ERROR_SUCCESS) {
      m_key = nullptr;
      return;
    }
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      std::vector<unsigned char> old(size);
      if (RegQueryValueExW(m_key, name, nullptr, &type, old.data(), &size) == ERROR_SUCCESS) m_old = old;
    }
    m_written = RegSetValueExW(m_key, name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())) ==
                ERROR_SUCCESS;
  }
  ~ScopedRegistryValue() {
    if (!m_key) return;
    if (m_old)
      RegSetValueExW(m_key, m_name.c_str(), 0, REG_BINARY, m_old->data(), static_cast<DWORD>(m_old->size()));
    else
      RegDeleteValueW(m_key, m_name.c_str());
    RegCloseKey(m_key);
  }
  ScopedRegistryValue(const ScopedRegistryValue&) = delete;
  ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;
  bool Written() const { return m_written; }

 private:
  HKEY m_key = nullptr;
  std::wstring m_name;
  std::optional<std::vector<unsigned char>> m_old;
  bool m_written = false;
};

void Append32(std::vector<unsigned char>& bytes, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<unsigned char>(value >> shift));
}
void AppendText(std::vector<unsigned char>& bytes, const std::string& text) {
  Append32(bytes, static_cast<std::uint32_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
}

// The connection flags of both values.
constexpr std::uint32_t kDirect = 1, kNamedProxy = 2, kConfigScript = 4, kAutoDetect = 8;

// The current user's "DefaultConnectionSettings", as the Internet settings
// dialog writes it.
std::vector<unsigned char> UserSettings(std::uint32_t flags, const std::string& proxy = "",
                                        const std::string& scriptUrl = "") {
  std::vector<unsigned char> bytes;
  Append32(bytes, 0x46);
  Append32(bytes, 1);  // the settings' change counter
  Append32(bytes, flags);
  AppendText(bytes, proxy);
  AppendText(bytes, "");  // bypass list
  AppendText(bytes, scriptUrl);
  bytes.resize(bytes.size() + 32);
  return bytes;
}

TEST(WindowsProxySources, UserSettingsNameTheProxyTheScriptAndAutoDetection) {
  {
    ScopedRegistryValue user(HKEY_CURRENT_USER, L"DefaultConnectionSettings",
                             UserSettings(kDirect | kNamedProxy | kConfigScript, "127.0.0.1:3128",
                                          "http://127.0.0.1:9/proxy.pac"));
    ASSERT_TRUE(user.Written());
    UserProxySettings settings;
    ASSERT_TRUE(ReadUserProxySettings(settings));
    EXPECT_FALSE(settings.bAutoDetect);
    EXPECT_TRUE(settings.bHasProxy);
    EXPECT_EQ(settings.strProxy, L"127.0.0.1:3128");
    EXPECT_TRUE(settings.bHasAutoConfigUrl);
    EXPECT_EQ(settings.strAutoConfigUrl, L"http://127.0.0.1:9/proxy.pac");
  }
  ScopedRegistryValue user(HKEY_CURRENT_USER, L"DefaultConnectionSettings", UserSettings(kDirect | kAutoDetect));
  UserProxySettings settings;
  ASSERT_TRUE(ReadUserProxySettings(settings));
  EXPECT_TRUE(settings.bAutoDetect);
  EXPECT_FALSE(settings.bHasProxy);
  EXPECT_FALSE(settings.bHasAutoConfigUrl);
}

TEST(WindowsProxySources, AConfigurationScriptIsFetchedAndAskedForTheUrl) {
  testing_support::LoopbackServer scripts;
  scripts.Server().Get("/proxy.pac", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content("function FindProxyForURL(url, host) {\n"
                    "  return host == \"updates.example\" ? \"PROXY 127.0.0.1:3128\" : \"DIRECT\";\n"
                    "}\n",
                    "application/x-ns-proxy-autoconfig");
  });
  ASSERT_TRUE(scripts.Start());
  const std::wstring scriptUrl = L"http://127.0.0.1:" + std::to_wstring(scripts.Port()) + L"/proxy.pac";
  std::wstring proxy = L"untouched";
  ASSERT_TRUE(QueryAutoProxy(L"http://updates.example/", false, scriptUrl, proxy));
  EXPECT_EQ(proxy, L"127.0.0.1:3128");
  // "DIRECT" names no proxy.
  proxy = L"untouched";
  EXPECT_FALSE(QueryAutoProxy(L"http://elsewhere.example/", false, scriptUrl, proxy));
  EXPECT_EQ(proxy, L"untouched");
  // A script that cannot be fetched names none either.
  EXPECT_FALSE(QueryAutoProxy(L"http://updates.example/", false, scriptUrl + L".missing", proxy));
  EXPECT_EQ(proxy, L"untouched");
}

TEST(WindowsProxySources, MachineSettingsAreTheDefaultProxyAndTheRegistryValue) {
  const std::vector<unsigned char> machine = WinHttpSettingsValue(0x18, "10.1.2.3:8080");
  ScopedRegistryValue value(HKEY_LOCAL_MACHINE, L"WinHttpSettings", machine);
  ASSERT_TRUE(value.Written());
  std::wstring proxy;
  ASSERT_TRUE(ReadDefaultProxy(proxy));
  EXPECT_EQ(proxy, L"10.1.2.3:8080");
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(ReadWinHttpSettingsValue(RunsUnderWow64(), bytes));
  EXPECT_EQ(bytes, machine);
  wchar_t buffer[kProxyBufferChars];
  ASSERT_TRUE(ReadWinHttpSettingsProxy(buffer));
  EXPECT_EQ(std::wstring(buffer), L"10.1.2.3:8080");
}

TEST(WindowsProxySources, TheSearchTakesTheUsersProxyBeforeTheMachines) {
  ScopedRegistryValue machine(HKEY_LOCAL_MACHINE, L"WinHttpSettings", WinHttpSettingsValue(0x18, "10.1.2.3:8080"));
  {
    ScopedRegistryValue user(HKEY_CURRENT_USER, L"DefaultConnectionSettings",
                             UserSettings(kDirect | kNamedProxy, "127.0.0.1:3128"));
    CString proxy;
    ASSERT_TRUE(GetSystemProxy(proxy));
    EXPECT_EQ(proxy, L"127.0.0.1:3128");
  }
  // A user who connects directly leaves the machine's proxy.
  ScopedRegistryValue user(HKEY_CURRENT_USER, L"DefaultConnectionSettings", UserSettings(kDirect));
  CString proxy;
  ASSERT_TRUE(GetSystemProxy(proxy));
  EXPECT_EQ(proxy, L"10.1.2.3:8080");
}

// A proxy on 127.0.0.1 that passes each request on to the server and keeps
// the request targets it saw (absolute addresses, as a client sends them to
// a proxy).
class ForwardingProxy {
 public:
  explicit ForwardingProxy(int serverPort) : m_client("127.0.0.1", serverPort) {
    const auto forward = [this](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_targets.push_back(req.method + " " + req.target);
      }
      const std::string path = req.target.substr(req.target.find('/', req.target.find("//") + 2));
      httplib::Headers headers;
      if (req.has_header("Cookie")) headers.emplace("Cookie", req.get_header_value("Cookie"));
      const httplib::Result reply =
          req.method == "POST" ? m_client.Post(path, headers, req.body, req.get_header_value("Content-Type"))
                               : m_client.Get(path, headers);
      if (!reply) {
        res.status = 502;
        return;
      }
      res.status = reply->status;
      if (reply->has_header("Set-Cookie")) res.set_header("Set-Cookie", reply->get_header_value("Set-Cookie"));
      res.set_content(reply->body, reply->get_header_value("Content-Type"));
    };
    m_server.Server().Get(".*", forward);
    m_server.Server().Post(".*", forward);
  }
  bool Start() { return m_server.Start(); }
  int Port() const { return m_server.Port(); }
  std::vector<std::string> Targets() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_targets;
  }

 private:
  httplib::Client m_client;
  testing_support::LoopbackServer m_server;
  std::mutex m_mutex;
  std::vector<std::string> m_targets;
};

TEST(WindowsProxySources, AnUpdateGoesThroughTheProxyOfTheUsersSettings) {
  testing_support::TempCard card;
  card.Write("pass.ini", "serial=123456789\npass=secret\n");
  testing_support::ServerData data;
  data.SetRelease({{"Readme.txt", "read me\n"}});
  auto server = testing_support::StartServer(data);
  ForwardingProxy proxy(server->Port());
  ASSERT_TRUE(proxy.Start());
  ScopedRegistryValue user(HKEY_CURRENT_USER, L"DefaultConnectionSettings",
                           UserSettings(kDirect | kNamedProxy, "127.0.0.1:" + std::to_string(proxy.Port())));
  testing_support::RunUpdate();
  EXPECT_EQ(card.Read("Readme.txt"), "read me\n");
  const std::string origin = server->BaseUrl();
  const std::vector<std::string> targets = proxy.Targets();
  ASSERT_GE(targets.size(), 3u);
  EXPECT_EQ(targets.front(), "POST " + origin + "/script/update.php");
  EXPECT_EQ(targets.back(), "POST " + origin + "/script/get.php");
}

}  // namespace
