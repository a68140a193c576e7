#include "server/sessions.h"

#include <cstdio>

namespace koral_server {

SessionStore::SessionStore() {
  std::random_device seed;
  m_random.seed((static_cast<std::uint64_t>(seed()) << 32) ^ seed());
}

std::string SessionStore::Open(const std::string& serial, bool byUpdateQuery) {
  std::lock_guard<std::mutex> guard(m_lock);
  std::string id;
  do {
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(m_random()),
                  static_cast<unsigned long long>(m_random()));
    id = text;
  } while (m_sessions.count(id));
  m_sessions[id] = Session{serial, byUpdateQuery, ""};
  return id;
}

std::optional<Session> SessionStore::Find(const std::string& id) const {
  std::lock_guard<std::mutex> guard(m_lock);
  auto it = m_sessions.find(id);
  if (it == m_sessions.end()) return std::nullopt;
  return it->second;
}

void SessionStore::SetLogDir(const std::string& id, const std::string& dir) {
  std::lock_guard<std::mutex> guard(m_lock);
  auto it = m_sessions.find(id);
  if (it != m_sessions.end()) it->second.logDir = dir;
}

}  // namespace koral_server
