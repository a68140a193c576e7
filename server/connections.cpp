#include "server/connections.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace koral_server {
namespace {

int PortOf(const sockaddr_storage& address) {
  if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
  if (address.ss_family == AF_INET6)
    return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
  return -1;
}

// Connected sockets on localPort, with their peers' ports.
std::vector<std::pair<int, int>> ConnectionsOn(int localPort) {
  std::vector<std::pair<int, int>> found;
  DIR* folder = opendir("/proc/self/fd");
  if (!folder) return found;
  const int own = dirfd(folder);
  while (dirent* entry = readdir(folder)) {
    char* end = nullptr;
    const long fd = std::strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || fd == own) continue;
    sockaddr_storage local{}, peer{};
    socklen_t localSize = sizeof local, peerSize = sizeof peer;
    if (getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&local), &localSize) != 0) continue;
    if (PortOf(local) != localPort) continue;
    if (getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0) continue;
    found.emplace_back(static_cast<int>(fd), PortOf(peer));
  }
  closedir(folder);
  return found;
}

}  // namespace

int FindConnectionSocket(int localPort, int remotePort) {
  for (const auto& [fd, peerPort] : ConnectionsOn(localPort))
    if (peerPort == remotePort) return fd;
  return -1;
}

void DropConnection(int socket) {
  if (socket >= 0) shutdown(socket, SHUT_RDWR);
}

void ResetConnection(int socket) {
  if (socket < 0) return;
  // Closing with a zero linger time sends RST instead of FIN; the stand-in
  // takes the descriptor's number in the same step.
  const linger abort{1, 0};
  setsockopt(socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  const int standIn = ::socket(AF_INET, SOCK_STREAM, 0);
  if (standIn < 0) {
    shutdown(socket, SHUT_RDWR);
    return;
  }
  dup2(standIn, socket);
  close(standIn);
}

bool PeerHasClosed(int socket) {
  if (socket < 0) return false;
  char byte;
  const ssize_t n = recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  if (n > 0) return false;
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return false;
  return true;
}

void DropAllConnections(int localPort) {
  for (const auto& [fd, peerPort] : ConnectionsOn(localPort)) DropConnection(fd);
}

}  // namespace koral_server
