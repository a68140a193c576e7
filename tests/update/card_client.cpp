#include "tests/update/card_client.h"

#include <filesystem>

#include "tests/support/temp_card.h"

namespace fs = std::filesystem;

namespace testing_support {

void LayOutCard(const std::string& root, const std::string& client) {
  WriteFile(root + "/pass.ini", "serial=123456789\npass=secret\n");
  WriteFile(root + "/koral70.exe", client);
  fs::permissions(root + "/koral70.exe", fs::perms::owner_all, fs::perm_options::add);
}

Environment ClientEnvironment(const std::string& serverUrl) {
  return {{"KORAL70_UI", "headless"}, {"KORAL70_UPDATE_URL", serverUrl}, {"http_proxy", ""}, {"LANG", "C.UTF-8"}};
}

}  // namespace testing_support
