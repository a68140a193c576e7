// logsetdir.php and logupload.php: the card's log files, stored per card
// below received/logs/<serial>/ in the folder the session last announced.
#pragma once

#include "server/answer.h"
#include "server/server_state.h"

namespace koral_server {

Answer HandleLogSetDir(const httplib::Request& request, ServerState& state);
Answer HandleLogUpload(const httplib::Request& request, ServerState& state);

}  // namespace koral_server
