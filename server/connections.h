// The sockets behind the HTTP library's connections, which it does not hand
// out: found by their ports, so a fault can close a connection without an
// answer, a stalled answer can notice that its client has gone, and a
// shutdown can end idle keep-alive connections at once.
#pragma once

namespace koral_server {

// The connected socket between our localPort and the client's remotePort;
// -1 when there is none.
int FindConnectionSocket(int localPort, int remotePort);
// Ends both directions; the library then fails on it and closes it.
void DropConnection(int socket);
// Resets it: the client sees a connection reset (RST) rather than a close.
// The library's descriptor stays open, on a socket that is connected to
// nothing, so its own writes fail and its close is harmless.
void ResetConnection(int socket);
// True when the client has closed its side.
bool PeerHasClosed(int socket);
// Ends every connection accepted on localPort.
void DropAllConnections(int localPort);

}  // namespace koral_server
