// What a handler answers, before it goes on the wire: status, headers and a
// body that is some bytes in memory followed, for large content, by a span
// of a file that is streamed rather than loaded.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace koral_server {

enum class Ending {
  Complete,  // the whole body
  Truncate,  // the full length is announced, half the body is sent, then the connection closes
  Stall,     // the first bytes are sent, then nothing until the client gives up (at most 120 s)
  Slow,      // the whole body, at most kSlowBytesPerSecond
};

// How fast a slow answer goes: a 12 MiB file takes six seconds.
constexpr std::uint64_t kSlowBytesPerSecond = 2 << 20;

struct Answer {
  int status = 200;
  std::string contentType = "text/html; charset=UTF-8";
  std::vector<std::pair<std::string, std::string>> headers;
  std::string head;               // sent first
  std::filesystem::path file;     // then fileLength bytes of this file, from fileOffset
  std::uint64_t fileOffset = 0;
  std::uint64_t fileLength = 0;
  Ending ending = Ending::Complete;
  bool drop = false;              // close the connection without any answer
  bool reset = false;             // with drop: reset it rather than close it

  std::uint64_t Size() const { return head.size() + fileLength; }
};

Answer TextAnswer(std::string text, int status = 200);
Answer BinaryAnswer(std::string bytes);
// prefix, then the whole file (length bytes).
Answer FileAnswer(std::string prefix, std::filesystem::path file, std::uint64_t length,
                  std::string contentType);
// A short HTML page for an error status.
Answer ErrorPage(int status);

}  // namespace koral_server
