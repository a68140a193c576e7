#include "server/server_state.h"

#include <httplib.h>

#include "server/form.h"

namespace koral_server {

std::optional<SessionRef> RequestSession(const httplib::Request& request, const ServerState& state) {
  const std::string id = SessionCookie(request);
  if (id.empty()) return std::nullopt;
  auto session = state.sessions.Find(id);
  if (!session) return std::nullopt;
  return SessionRef{id, *session};
}

}  // namespace koral_server
