// update.php (the login with the file list, or the "C", "U" and "I"
// answers) and get.php (one file of the list by its index).
#pragma once

#include "server/answer.h"
#include "server/server_state.h"

namespace koral_server {

Answer HandleUpdateQuery(const httplib::Request& request, ServerState& state);
Answer HandleGetFile(const httplib::Request& request, ServerState& state);

}  // namespace koral_server
