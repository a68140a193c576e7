// A small HTTP server on 127.0.0.1 for the session tests: it runs on its own
// thread from construction to destruction, on a free port.
#pragma once

#include <httplib.h>

#include <string>
#include <thread>

namespace testing_support {

class LoopbackServer {
 public:
  LoopbackServer() = default;
  ~LoopbackServer() { Stop(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Register the handlers on Server() first, then Start.
  httplib::Server& Server() { return m_server; }
  bool Start() {
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0) return false;
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running()) std::this_thread::yield();
    return true;
  }
  void Stop() {
    if (!m_thread.joinable()) return;
    m_server.stop();
    m_thread.join();
  }
  int Port() const { return m_port; }
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }

 private:
  httplib::Server m_server;
  std::thread m_thread;
  int m_port = 0;
};

}  // namespace testing_support
