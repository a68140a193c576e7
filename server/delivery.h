// Puts an Answer on the wire through the HTTP library: small bodies as they
// are, file content streamed in pieces, and the broken endings of the fault
// switches.
#pragma once

#include <atomic>

#include "server/answer.h"

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace koral_server {

// stopping ends a stalled answer early when the server shuts down.
void Deliver(Answer answer, const httplib::Request& request, httplib::Response& response,
             const std::atomic<bool>& stopping);

}  // namespace koral_server
