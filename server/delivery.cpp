#include "server/delivery.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "server/connections.h"

namespace koral_server {
namespace {

constexpr size_t kPieceBytes = 64 * 1024;
constexpr auto kStallTime = std::chrono::seconds(120);
constexpr std::uint64_t kStallBytes = 4096;

// Reads the answer's body (head, then the file span) from any offset.
class BodyReader {
 public:
  explicit BodyReader(const Answer& answer) : m_answer(answer) {}
  ~BodyReader() {
    if (m_file) std::fclose(m_file);
  }
  BodyReader(const BodyReader&) = delete;
  BodyReader& operator=(const BodyReader&) = delete;

  // Up to length bytes at offset into out, the head and the file's first
  // bytes in one piece, so that a short answer leaves in one write; false
  // when the file fails.
  bool Read(std::uint64_t offset, std::uint64_t length, std::string& out) {
    out.clear();
    const std::string& head = m_answer.head;
    if (offset < head.size()) {
      out = head.substr(offset, std::min<std::uint64_t>(length, head.size() - offset));
      offset += out.size();
      length -= out.size();
    }
    const std::uint64_t fileAt = offset - head.size();
    if (length == 0 || fileAt >= m_answer.fileLength) return true;
    const size_t start = out.size();
    if (!m_file && !(m_file = std::fopen(m_answer.file.c_str(), "rb"))) return start > 0;
    if (fseeko(m_file, static_cast<off_t>(m_answer.fileOffset + fileAt), SEEK_SET) != 0) return start > 0;
    out.resize(start + std::min<std::uint64_t>(length, m_answer.fileLength - fileAt));
    const size_t got = std::fread(out.data() + start, 1, out.size() - start, m_file);
    out.resize(start + got);
    return start + got > 0;
  }

 private:
  const Answer& m_answer;
  FILE* m_file = nullptr;
};

// Waits out a stall: until the time is up, the server stops or the client closes.
void Stall(int localPort, int remotePort, const std::atomic<bool>& stopping) {
  const int socket = FindConnectionSocket(localPort, remotePort);
  const auto until = std::chrono::steady_clock::now() + kStallTime;
  while (std::chrono::steady_clock::now() < until && !stopping && !PeerHasClosed(socket))
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace

void Deliver(Answer answer, const httplib::Request& request, httplib::Response& response,
             const std::atomic<bool>& stopping) {
  if (answer.drop) {
    const int socket = FindConnectionSocket(request.local_port, request.remote_port);
    if (answer.reset)
      ResetConnection(socket);
    else
      DropConnection(socket);
    response.status = 500;
    return;
  }
  response.status = answer.status;
  for (const auto& [name, value] : answer.headers) response.set_header(name, value);
  if (answer.ending == Ending::Complete && answer.fileLength == 0) {
    response.set_content(answer.head, answer.contentType.c_str());
    return;
  }

  const std::uint64_t size = answer.Size();
  std::uint64_t sendLimit = size;
  if (answer.ending == Ending::Truncate) sendLimit = size / 2;
  if (answer.ending == Ending::Stall) sendLimit = std::min(size / 2, kStallBytes);
  const Ending ending = answer.ending;
  const int localPort = request.local_port, remotePort = request.remote_port;
  auto body = std::make_shared<Answer>(std::move(answer));
  auto reader = std::make_shared<BodyReader>(*body);
  const auto started = std::chrono::steady_clock::now();
  response.set_content_provider(
      static_cast<size_t>(size), body->contentType,
      [body, reader, sendLimit, ending, localPort, remotePort, started, &stopping](
          size_t offset, size_t length, httplib::DataSink& sink) {
        if (offset >= sendLimit) {
          if (ending == Ending::Stall) Stall(localPort, remotePort, stopping);
          return false;  // closes the connection short of the announced length
        }
        // A slow answer sends each piece when its time has come.
        if (ending == Ending::Slow)
          std::this_thread::sleep_until(started + std::chrono::microseconds(offset * 1000000 / kSlowBytesPerSecond));
        std::string piece;
        const std::uint64_t want = std::min<std::uint64_t>({length, kPieceBytes, sendLimit - offset});
        if (!reader->Read(offset, want, piece) || piece.empty()) return false;
        return sink.write(piece.data(), piece.size());
      });
}

}  // namespace koral_server
