// The client on a card in end-to-end update tests: the card laid out with
// its login and the program, and the environment of a run against the
// reference server (headless, no proxy, English).
#pragma once

#include <string>

#include "tests/support/process.h"

namespace testing_support {

// Writes "pass.ini" with the login ServerData's account knows and the client
// as "koral70.exe" (runnable) into the card's root folder.
void LayOutCard(const std::string& root, const std::string& client);

// The environment of a client run against the server at serverUrl.
Environment ClientEnvironment(const std::string& serverUrl);

}  // namespace testing_support
