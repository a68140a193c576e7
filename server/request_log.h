// The server's log on standard output: first "PORT <n>", then per request
// "REQ <METHOD> <path> <summary>" and "-> <status> <bytes>". Every line is
// flushed at once, so a test reading the output sees it immediately.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace koral_server {

class RequestLog {
 public:
  void Port(int port);
  // summary: the url-form body, the query or the multipart parts, then cookie=.
  void Request(const std::string& method, const std::string& path, const std::string& summary);
  void Result(int status, std::uint64_t bytes, const std::string& note = "");
  void Dropped(const std::string& note);

 private:
  void Line(const std::string& text);
  std::mutex m_lock;
};

}  // namespace koral_server
