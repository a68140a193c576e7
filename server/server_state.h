// Everything the handlers share. The HTTP library serves requests on a pool
// of threads: each member guards itself.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "server/accounts.h"
#include "server/data_folder.h"
#include "server/faults.h"
#include "server/received_store.h"
#include "server/release_cache.h"
#include "server/request_log.h"
#include "server/sessions.h"

namespace httplib {
struct Request;
}

namespace koral_server {

struct ServerState {
  explicit ServerState(const fs::path& dataFolder)
      : data(dataFolder), release(data), received(data.ReceivedRoot()) {}

  DataFolder data;
  ReleaseCache release;
  AccountBook accounts;
  SessionStore sessions;
  FaultSwitches faults;
  ReceivedStore received;
  RequestLog log;
  int port = 0;
  bool clientUpdateOnce = false;
  std::atomic<bool> clientUpdateGiven{false};
  std::atomic<bool> stopping{false};
  std::atomic<bool> listenEnded{false};

  // http://127.0.0.1:<port>, for addresses handed to the client.
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port); }
};

// The session the request's cookie names, if the server knows it.
struct SessionRef {
  std::string id;
  Session session;
};
std::optional<SessionRef> RequestSession(const httplib::Request& request, const ServerState& state);

}  // namespace koral_server
