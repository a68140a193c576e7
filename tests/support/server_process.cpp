// What the reference server's process offers every system's tests: its
// address and the log lines it printed.
#include <chrono>
#include <thread>

#include "tests/support/process.h"

namespace testing_support {
namespace {
using Clock = std::chrono::steady_clock;
}  // namespace

std::string ServerProcess::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }

void ServerProcess::TakeOutput(const char* bytes, size_t size) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_partial.append(bytes, size);
  size_t nl;
  while ((nl = m_partial.find('\n')) != std::string::npos) {
    m_log.push_back(m_partial.substr(0, nl));
    m_partial.erase(0, nl + 1);
  }
}

std::vector<std::string> ServerProcess::Log() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_log;
}

bool ServerProcess::WaitForLog(const std::string& text, int timeoutMs) const {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    for (const auto& line : Log())
      if (line.find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (Clock::now() < deadline);
  return false;
}

size_t ServerProcess::CountRequests(const std::string& text) const {
  size_t n = 0;
  for (const auto& line : Log()) n += line.rfind("REQ", 0) == 0 && line.find(text) != std::string::npos;
  return n;
}

bool ServerProcess::WaitForRequests(const std::string& text, size_t count, int timeoutMs) const {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (CountRequests(text) < count) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace testing_support
