// koral70-server: the reference update server and policy site.
//   koral70-server --data DIR [--port N] [--fault SPEC]... [--client-update-once]
//   koral70-server --make-demo DIR
#include <httplib.h>
#include <signal.h>
#include <sys/socket.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <functional>
#include <thread>

#include "server/connections.h"
#include "server/demo_data.h"
#include "server/options.h"
#include "server/release_list.h"
#include "server/routes.h"
#include "server/server_state.h"

using namespace koral_server;

namespace {

// The HTTP library gives every open connection a worker of its own until the
// connection ends, including one that is idle or still sending its request;
// a connection beyond the pool waits for a free worker. The pool is large
// enough for hundreds of idle or trickling connections beside the clients,
// whose stalled answers hold a worker for up to two minutes each.
constexpr size_t kWorkerThreads = 512;
// An idle connection gives its worker back after this long: the first
// request, and every later one on a kept-alive connection, must begin within
// it (the client opens a new connection after a longer pause).
constexpr time_t kKeepAliveSeconds = 1;
// The longest wait for the next bytes of a request. It restarts with every
// byte, so it frees the worker of a client that stops in mid-request, but not
// of one that sends a byte at a time; those are what the pool's headroom is
// for. A request arrives in one piece from the client, far within this.
constexpr time_t kReadSeconds = 5;
// The longest wait for the client to take more of an answer. The client stops
// reading inside a download while its window catches up with the progress.
constexpr time_t kWriteSeconds = 30;

// The library listens with room for 5 connections not yet accepted; in a
// burst of new connections the kernel drops the rest, and their clients try
// again a second later. The listening socket, which only a derived class can
// reach, is given the system's largest queue instead.
class Server : public httplib::Server {
 public:
  void WidenAcceptQueue() { ::listen(svr_sock_, SOMAXCONN); }
};

// SIGTERM and SIGINT are taken by a thread of their own (blocked everywhere
// else), which stops the server and ends open connections, idle keep-alive
// ones included, so the process ends at once.
void StopOnSignal(httplib::Server& server, ServerState& state, sigset_t signals) {
  int signal = 0;
  sigwait(&signals, &signal);
  state.stopping = true;
  // The signal may come before the server is listening: wait for that.
  bool stopped = false;
  while (!state.listenEnded) {
    if (!stopped && server.is_running()) {
      server.stop();
      stopped = true;
    }
    if (stopped) DropAllConnections(state.port);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

int main(int argc, char** argv) {
  ServerOptions options;
  std::string error;
  if (!ParseCommandLine(argc, argv, options, error)) {
    std::fprintf(stderr, "koral70-server: %s\n%s", error.c_str(), UsageText());
    return 2;
  }
  if (!options.demoFolder.empty()) return WriteDemoFolder(options.demoFolder) ? 0 : 1;

  std::error_code ec;
  if (!fs::is_directory(options.dataFolder, ec)) {
    std::fprintf(stderr, "koral70-server: no data folder %s\n", options.dataFolder.c_str());
    return 2;
  }
  ServerState state(options.dataFolder);
  // A release the client would refuse is not served at all.
  if (const std::string problem = ReleaseListProblem(state.data); !problem.empty()) {
    std::fprintf(stderr, "koral70-server: %s\n", problem.c_str());
    return 2;
  }
  state.clientUpdateOnce = options.clientUpdateOnce;
  state.accounts.Load(state.data.AccountsFile());
  for (const std::string& text : options.faults) {
    FaultSpec spec;
    if (!ParseFaultSpec(text, spec)) {
      std::fprintf(stderr, "koral70-server: bad fault %s\n", text.c_str());
      return 2;
    }
    state.faults.Add(spec);
  }

  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  Server server;
  server.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
  server.set_keep_alive_timeout(kKeepAliveSeconds).set_keep_alive_max_count(100);
  server.set_read_timeout(kReadSeconds).set_write_timeout(kWriteSeconds);
  // Answers go out in more than one write (headers, then the body): without
  // this the second write waits for the client's delayed ACK, ~40 ms each.
  server.set_tcp_nodelay(true);
  InstallRoutes(server, state);
  const int port = options.port == 0 ? server.bind_to_any_port("127.0.0.1")
                                     : (server.bind_to_port("127.0.0.1", options.port) ? options.port : -1);
  if (port <= 0) {
    std::fprintf(stderr, "koral70-server: cannot listen on 127.0.0.1:%d\n", options.port);
    return 1;
  }
  server.WidenAcceptQueue();
  state.port = port;
  state.log.Port(port);

  std::thread stopper(StopOnSignal, std::ref(server), std::ref(state), signals);
  // The first look at the release (every file hashed) is taken now, beside
  // the first requests, not inside the first login.
  std::thread lookAtRelease([&state] { state.release.ListAnswer(); });
  if (!state.stopping) server.listen_after_bind();
  state.listenEnded = true;
  lookAtRelease.join();
  const bool signalled = state.stopping;
  if (!signalled) pthread_kill(stopper.native_handle(), SIGTERM);  // listening failed: end the stopper
  stopper.join();
  return signalled ? 0 : 1;
}
