#include "core/product.h"

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

const wchar_t* ScriptName(ServerScript script) {
  switch (script) {
    case ServerScript::kUpdate:
      return L"update.php";
    case ServerScript::kGet:
      return L"get.php";
    case ServerScript::kRegister:
      return L"register.php";
    case ServerScript::kManual:
      return L"manual.php";
    case ServerScript::kLogSetDir:
      return L"logsetdir.php";
    case ServerScript::kLogUpload:
      return L"logupload.php";
  }
  return L"";
}
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
  return UpdateBaseUrl() + L"/script/" + ScriptName(script);
}
