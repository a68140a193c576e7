#include "server/answer.h"

namespace koral_server {
namespace {
const char* Reason(int status) {
  switch (status) {
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Error";
  }
}
}  // namespace

Answer TextAnswer(std::string text, int status) {
  Answer answer;
  answer.status = status;
  answer.head = std::move(text);
  return answer;
}

Answer BinaryAnswer(std::string bytes) {
  Answer answer;
  answer.contentType = "application/octet-stream";
  answer.head = std::move(bytes);
  return answer;
}

Answer FileAnswer(std::string prefix, std::filesystem::path file, std::uint64_t length,
                  std::string contentType) {
  Answer answer;
  answer.contentType = std::move(contentType);
  answer.head = std::move(prefix);
  answer.file = std::move(file);
  answer.fileLength = length;
  return answer;
}

Answer ErrorPage(int status) {
  const std::string title = std::to_string(status) + " " + Reason(status);
  return TextAnswer("<html><head><title>" + title + "</title></head><body><h1>" + title +
                        "</h1></body></html>\n",
                    status);
}

}  // namespace koral_server
