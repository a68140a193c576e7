// manual.php (the login that names the manual's address), the manual itself
// under /docs/, and the new client of a "C" answer under /client/.
#pragma once

#include "server/answer.h"
#include "server/server_state.h"

namespace koral_server {

Answer HandleManualQuery(const httplib::Request& request, ServerState& state);
Answer HandleManualDocument(const httplib::Request& request, ServerState& state);
Answer HandleClientDownload(const httplib::Request& request, ServerState& state);

}  // namespace koral_server
