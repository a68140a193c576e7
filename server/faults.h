// Fault switches for reliability tests: per request path, a way to answer
// wrongly, optionally only for requests containing a text, optionally only
// for a number of requests. Set from the command line or at run time.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace koral_server {

enum class FaultKind {
  Drop,        // close the connection without an answer
  Reset,       // reset the connection (RST) without an answer
  Status500,   // 500 with a short HTML error page
  Status503,   // 503, the page of a server too busy to answer
  Status429,   // 429, the page of a server that asks its clients to slow down
  Status404,
  Status403,
  Truncate,    // announce the full length, send half, close
  Stall,       // send the headers and the first bytes, then nothing for 120 s
  Empty,       // 200 with an empty body
  Short1,      // only the first byte of the normal answer
  NoMarker,    // policy page without its marker line
  NoLogo,      // the logo answers 404
  Corrupt,     // the first byte of the answer changed ("BF" becomes "XF")
  Slow,        // the whole answer, at kSlowBytesPerSecond
};

const char* FaultName(FaultKind kind);

struct FaultSpec {
  std::string path;
  FaultKind kind = FaultKind::Drop;
  std::string match;  // "" matches every request
  int remaining = -1; // requests left before it clears itself; -1: unlimited
};

// "<path>:<kind>[:<match>][:<count>]". A last field of digits only is the
// count; the match is what lies between the kind and the count.
bool ParseFaultSpec(const std::string& text, FaultSpec& spec);

class FaultSwitches {
 public:
  void Add(const FaultSpec& spec);
  void Clear();
  // The first switch for this request (path, and the text its query, body or
  // parts contain); one use is counted off it.
  std::optional<FaultKind> Take(const std::string& path, const std::string& subject);

 private:
  std::mutex m_lock;
  std::vector<FaultSpec> m_faults;
};

}  // namespace koral_server
