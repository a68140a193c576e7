// The server addresses: read once, when the program starts, and the script
// URLs all built from them in one place.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/product.h"
#include "tests/support/cstring_printer.h"
#include "tests/support/environment.h"

TEST(ServerAddresses, AreReadAtStartNotBeforeEveryRequest) {
  setenv("KORAL70_UPDATE_URL", "http://updates.example:8070//", 1);
  setenv("KORAL70_POLICY_URL", "http://policy.example/", 1);
  LoadServerAddresses();
  EXPECT_EQ(UpdateBaseUrl(), L"http://updates.example:8070");
  EXPECT_EQ(PolicyBaseUrl(), L"http://policy.example");
  EXPECT_EQ(ServerScriptUrl(ServerScript::kGet), L"http://updates.example:8070/script/get.php");
  EXPECT_EQ(ServerScriptUrl(ServerScript::kLogUpload),
            L"http://updates.example:8070/script/logupload.php");

  // A change of the environment later on reaches no request.
  setenv("KORAL70_UPDATE_URL", "http://elsewhere.example", 1);
  EXPECT_EQ(ServerScriptUrl(ServerScript::kUpdate), L"http://updates.example:8070/script/update.php");

  unsetenv("KORAL70_UPDATE_URL");
  unsetenv("KORAL70_POLICY_URL");
  LoadServerAddresses();
  EXPECT_NE(UpdateBaseUrl(), L"http://updates.example:8070");  // the build's own again
}
