#include "server/request_log.h"

#include <cstdio>

#include "server/form.h"

namespace koral_server {

void RequestLog::Line(const std::string& text) {
  std::lock_guard<std::mutex> guard(m_lock);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void RequestLog::Port(int port) { Line("PORT " + std::to_string(port)); }

void RequestLog::Request(const std::string& method, const std::string& path,
                         const std::string& summary) {
  Line("REQ " + method + " " + EscapeForLine(path) + " " + summary);
}

void RequestLog::Result(int status, std::uint64_t bytes, const std::string& note) {
  Line("-> " + std::to_string(status) + " " + std::to_string(bytes) + (note.empty() ? "" : " " + note));
}

void RequestLog::Dropped(const std::string& note) { Line("-> drop 0 " + note); }

}  // namespace koral_server
