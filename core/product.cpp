#include "core/product.h"

#include <string>

#include "platform/system.h"
#include "platform/text.h"

const wchar_t* const kClientVersionText = KORAL70_VERSION_TEXT;
const wchar_t* const kClientVersionWire = KORAL70_VERSION_WIRE;

namespace {
std::wstring BaseUrl(const char* variable, const char* built) {
  std::string url = GetEnvironmentText(variable);
  if (url.empty()) url = built;
  while (!url.empty() && url.back() == '/') url.pop_back();
  return WideFromUtf8(url);
}
}  // namespace

CString UpdateBaseUrl() { return BaseUrl("KORAL70_UPDATE_URL", KORAL70_UPDATE_BASE_URL); }

CString PolicyBaseUrl() { return BaseUrl("KORAL70_POLICY_URL", KORAL70_POLICY_BASE_URL); }
