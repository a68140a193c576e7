// Real processes for end-to-end tests: the client binary run to its end, and
// the reference server started on a free loopback port and stopped again.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct ProcessResult {
  int exitCode = -1;  // -1: killed after the time-out
  std::string out;
  std::string err;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// The processes started here die with the test (on Linux with the thread
// that started them, so that thread must outlive them).
//
// Runs argv in cwd with extra environment variables, feeding input on
// standard input, and waits (at most timeoutSeconds) for it to end. The
// process group is killed at the time-out.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input,
                         const std::string& cwd, const Environment& env,
                         int timeoutSeconds = 60);

// The path of the built client and server binaries.
std::string ClientBinary();
std::string ServerBinary();

// build/koral70-server with --port 0 and the given arguments. The
// constructor waits for the "PORT <n>" line; the log lines that follow are
// collected. The destructor stops the server.
class ServerProcess {
 public:
  explicit ServerProcess(const std::vector<std::string>& arguments);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  bool Started() const { return m_port > 0; }
  int Port() const { return m_port; }
  // The server's process id (under Wine: the host's), for a look at its resources.
  int Pid() const { return m_pid; }
  std::string BaseUrl() const;  // http://127.0.0.1:<port>
  std::vector<std::string> Log() const;
  // Waits until a log line contains text; false after timeoutMs.
  bool WaitForLog(const std::string& text, int timeoutMs = 5000) const;
  // The requests logged so far whose line contains text.
  size_t CountRequests(const std::string& text) const;
  // Waits until at least count such requests are logged; false after
  // timeoutMs. A request the client made may be logged after it ended.
  bool WaitForRequests(const std::string& text, size_t count, int timeoutMs = 60000) const;

 private:
  void ReadOutput();
  // Adds output bytes to the log, line by line.
  void TakeOutput(const char* bytes, size_t size);

  int m_pid = -1;
  int m_port = 0;
#ifdef _WIN32
  // The host server's output file and pid file live here.
  std::string m_folder;
  std::atomic<bool> m_stopping{false};
#else
  int m_outFd = -1;
#endif
  mutable std::mutex m_lock;
  std::vector<std::string> m_log;
  std::string m_partial;
  std::thread* m_reader = nullptr;  // collects the log
};

}  // namespace testing_support
