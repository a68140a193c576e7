// Login sessions, named by the KORALSESSION cookie. A session is bound to
// the card that logged in and remembers the log folder it last announced.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>

namespace koral_server {

struct Session {
  std::string serial;
  bool byUpdateQuery = false;  // update.php logged the card in (register.php needs it)
  std::string logDir;          // last "dir=" of logsetdir.php, "" at first
};

class SessionStore {
 public:
  SessionStore();
  // A new session; returns its id.
  std::string Open(const std::string& serial, bool byUpdateQuery);
  std::optional<Session> Find(const std::string& id) const;
  void SetLogDir(const std::string& id, const std::string& dir);

 private:
  mutable std::mutex m_lock;
  std::mt19937_64 m_random;
  std::map<std::string, Session> m_sessions;
};

}  // namespace koral_server
