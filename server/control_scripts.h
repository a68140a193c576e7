// Run-time control of the fault switches: GET /control/fault?spec=SPEC and
// GET /control/clear.
#pragma once

#include "server/answer.h"
#include "server/server_state.h"

namespace koral_server {

Answer HandleFaultControl(const httplib::Request& request, ServerState& state);
Answer HandleClearControl(const httplib::Request& request, ServerState& state);

}  // namespace koral_server
