#include "core/product.h"

#include <iterator>
#include <mutex>
#include <string>

#include "platform/system.h"
#include "platform/text.h"

const wchar_t* const kClientVersionText = KORAL70_VERSION_TEXT;
const wchar_t* const kClientVersionWire = KORAL70_VERSION_WIRE;

namespace {
struct ServerAddresses {
  bool loaded = false;
  CString update;
  CString policy;
};

std::mutex g_addressLock;
ServerAddresses g_addresses;

CString BaseUrl(const char* variable, const char* built) {
  std::string url = GetEnvironmentText(variable);
  if (url.empty()) url = built;
  while (!url.empty() && url.back() == '/') url.pop_back();
  return CString(WideFromUtf8(url));
}

// The addresses, loaded now if nobody has yet. Called under g_addressLock.
const ServerAddresses& Addresses() {
  if (!g_addresses.loaded) {
    g_addresses.update = BaseUrl("KORAL70_UPDATE_URL", KORAL70_UPDATE_BASE_URL);
    g_addresses.policy = BaseUrl("KORAL70_POLICY_URL", KORAL70_POLICY_BASE_URL);
    g_addresses.loaded = true;
  }
  return g_addresses;
}

// The scripts' names, in the order of ServerScript.
constexpr const wchar_t* kScriptNames[] = {L"update.php",  L"get.php",       L"register.php",
                                           L"manual.php",  L"logsetdir.php", L"logupload.php"};
static_assert(std::size(kScriptNames) == static_cast<std::size_t>(ServerScript::kLogUpload) + 1);
}  // namespace

void LoadServerAddresses() {
  std::lock_guard<std::mutex> guard(g_addressLock);
  g_addresses.loaded = false;
  Addresses();
}

CString UpdateBaseUrl() {
  std::lock_guard<std::mutex> guard(g_addressLock);
  return Addresses().update;
}

CString PolicyBaseUrl() {
  std::lock_guard<std::mutex> guard(g_addressLock);
  return Addresses().policy;
}

CString ServerScriptUrl(ServerScript script) {
  return UpdateBaseUrl() + L"/script/" + kScriptNames[static_cast<std::size_t>(script)];
}
