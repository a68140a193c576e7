// The server's addresses and the path every request takes: logged, checked
// against the fault switches, answered, logged again.
#pragma once

#include "server/server_state.h"

namespace httplib {
class Server;
}

namespace koral_server {

void InstallRoutes(httplib::Server& server, ServerState& state);

}  // namespace koral_server
