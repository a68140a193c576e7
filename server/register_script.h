// register.php: the owner's contact details, hex-coded UTF-8 with a trailing
// zero byte each, for the card that the session's update query logged in.
#pragma once

#include "server/answer.h"
#include "server/server_state.h"

namespace koral_server {

Answer HandleRegistration(const httplib::Request& request, ServerState& state);

}  // namespace koral_server
