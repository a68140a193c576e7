#include "tests/support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace testing_support {
namespace {
using Clock = std::chrono::steady_clock;

// The child dies with the test process: a test that crashes leaves neither
// a server nor a client behind to hold its output pipe open.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& cwd, const Environment& env,
            int inFd, int outFd, int errFd) {
  const pid_t parent = getpid();
  pid_t pid = fork();
  if (pid != 0) return pid;
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(125);
  setpgid(0, 0);
  dup2(inFd, 0);
  dup2(outFd, 1);
  dup2(errFd, 2);
  for (int fd = 3; fd < 256; ++fd) close(fd);
  if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
  for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execv(args[0], args.data());
  _exit(127);
}
}  // namespace

std::string ClientBinary() { return KORAL70_CLIENT_BINARY; }
std::string ServerBinary() { return KORAL70_SERVER_BINARY; }

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input,
                         const std::string& cwd, const Environment& env, int timeoutSeconds) {
  int in[2], out[2], err[2];
  if (pipe(in) || pipe(out) || pipe(err)) return {};
  pid_t pid = Spawn(argv, cwd, env, in[0], out[1], err[1]);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  signal(SIGPIPE, SIG_IGN);
  // Input is small (a script of commands); a client that ends without
  // reading it gets EPIPE, which is fine.
  if (!input.empty()) (void)!write(in[1], input.data(), input.size());
  close(in[1]);

  ProcessResult result;
  const auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
  bool outOpen = true, errOpen = true, killed = false;
  while (outOpen || errOpen) {
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
    if (ms <= 0) {
      kill(-pid, SIGKILL);
      killed = true;
      break;
    }
    if (poll(fds, 2, ms) <= 0) continue;
    char buffer[4096];
    for (int i = 0; i < 2; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        (i == 0 ? outOpen : errOpen) = false;
        fds[i].fd = -1;
      } else {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
      }
    }
  }
  close(out[0]);
  close(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitCode = killed ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

ServerProcess::ServerProcess(const std::vector<std::string>& arguments) {
  int out[2];
  if (pipe(out)) return;
  int devnull = ::open("/dev/null", 0);
  std::vector<std::string> argv = {ServerBinary(), "--port", "0"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  m_pid = Spawn(argv, "", {}, devnull, out[1], 2);
  close(out[1]);
  close(devnull);
  m_outFd = out[0];
  // The first line names the port.
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  std::string first;
  while (Clock::now() < deadline && first.find('\n') == std::string::npos) {
    pollfd fd = {m_outFd, POLLIN, 0};
    if (poll(&fd, 1, 100) <= 0) continue;
    char c;
    if (read(m_outFd, &c, 1) <= 0) break;
    first += c;
  }
  if (first.rfind("PORT ", 0) == 0) m_port = std::atoi(first.c_str() + 5);
  m_reader = new std::thread([this] { ReadOutput(); });
}

void ServerProcess::ReadOutput() {
  char buffer[4096];
  for (;;) {
    ssize_t n = read(m_outFd, buffer, sizeof buffer);
    if (n <= 0) return;
    TakeOutput(buffer, static_cast<size_t>(n));
  }
}

ServerProcess::~ServerProcess() {
  if (m_pid > 0) {
    kill(-m_pid, SIGTERM);
    int status;
    waitpid(m_pid, &status, 0);
  }
  if (m_reader) {
    m_reader->join();
    delete m_reader;
  }
  if (m_outFd >= 0) close(m_outFd);
}

}  // namespace testing_support
