// The policy site: /priv-policy/usr-reg/<en|jp>/ and its logo below
// qx-logo/, from <data>/policy/ or the built-in defaults.
#pragma once

#include "server/answer.h"
#include "server/server_state.h"

namespace koral_server {

Answer HandlePolicyPage(const httplib::Request& request, ServerState& state);
Answer HandlePolicyLogo(const httplib::Request& request, ServerState& state);

}  // namespace koral_server
