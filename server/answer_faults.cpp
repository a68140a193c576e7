#include "server/answer_faults.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "server/policy_defaults.h"

namespace koral_server {
namespace {

// Moves the first byte of the file part into head, so head can be edited.
void TakeFirstFileByte(Answer& answer) {
  if (answer.fileLength == 0) return;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(answer.file.c_str(), "rb"), &std::fclose);
  int c = EOF;
  if (file && fseeko(file.get(), static_cast<off_t>(answer.fileOffset), SEEK_SET) == 0)
    c = std::fgetc(file.get());
  if (c == EOF) return;
  answer.head += static_cast<char>(c);
  ++answer.fileOffset;
  --answer.fileLength;
}

void RemoveMarkerLines(std::string& page) {
  std::string kept;
  size_t start = 0;
  while (start < page.size()) {
    size_t end = page.find('\n', start);
    end = end == std::string::npos ? page.size() : end + 1;
    const std::string line = page.substr(start, end - start);
    if (line.find(kPolicyMarker) == std::string::npos) kept += line;
    start = end;
  }
  page = kept;
}

}  // namespace

bool ReplacesAnswer(FaultKind kind) {
  switch (kind) {
    case FaultKind::Drop:
    case FaultKind::Reset:
    case FaultKind::Status500:
    case FaultKind::Status503:
    case FaultKind::Status429:
    case FaultKind::Status404:
    case FaultKind::Status403:
    case FaultKind::Empty:
    case FaultKind::NoLogo:
      return true;
    default:
      return false;
  }
}

Answer FaultAnswer(FaultKind kind) {
  switch (kind) {
    case FaultKind::Drop: {
      Answer answer;
      answer.drop = true;
      return answer;
    }
    case FaultKind::Reset: {
      Answer answer;
      answer.drop = true;
      answer.reset = true;
      return answer;
    }
    case FaultKind::Status500: return ErrorPage(500);
    case FaultKind::Status503: return ErrorPage(503);
    case FaultKind::Status429: return ErrorPage(429);
    case FaultKind::Status403: return ErrorPage(403);
    case FaultKind::Empty: return TextAnswer("");
    default: return ErrorPage(404);
  }
}

void SpoilAnswer(FaultKind kind, Answer& answer) {
  switch (kind) {
    case FaultKind::Truncate:
      answer.ending = Ending::Truncate;
      break;
    case FaultKind::Stall:
      answer.ending = Ending::Stall;
      break;
    case FaultKind::Slow:
      answer.ending = Ending::Slow;
      break;
    case FaultKind::Short1:
      if (answer.head.empty()) TakeFirstFileByte(answer);
      answer.head.resize(std::min<size_t>(answer.head.size(), 1));
      answer.fileLength = 0;
      break;
    case FaultKind::Corrupt:
      if (answer.head.empty()) TakeFirstFileByte(answer);
      if (!answer.head.empty()) answer.head[0] = answer.head[0] == 'X' ? 'Y' : 'X';
      break;
    case FaultKind::NoMarker:
      RemoveMarkerLines(answer.head);
      break;
    default:
      break;
  }
}

}  // namespace koral_server
