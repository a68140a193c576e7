// A request's content read as it arrives, for a script that must not hold a
// large upload in memory: one named multipart part goes to a sink chunk by
// chunk, the rest is kept as text up to a budget.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "server/form.h"

namespace httplib {
struct Request;
class ContentReader;
}  // namespace httplib

namespace koral_server {

// Takes the streamed part's bytes as they arrive.
using ChunkSink = std::function<void(const char* data, std::size_t size)>;

// Reads the content through reader into content: the first part called
// streamedPart is handed to sink (its FormPart keeps no content), everything
// else is kept, up to 64 KiB in all, and counted in full. False when the
// content broke off, was malformed or had more parts than the HTTP library
// takes in a form it reads itself.
bool ReadStreamedContent(const httplib::Request& request, const httplib::ContentReader& reader,
                         const std::string& streamedPart, const ChunkSink& sink,
                         RequestContent& content);

}  // namespace koral_server
