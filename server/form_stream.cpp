#include "server/form_stream.h"

#include <httplib.h>

#include <algorithm>

namespace koral_server {
namespace {

constexpr std::size_t kKeptBytes = 64 * 1024;

// Appends what is left of the budget of kept text.
void Keep(std::string& text, const char* data, std::size_t size, std::size_t& budget) {
  const std::size_t kept = std::min(size, budget);
  text.append(data, kept);
  budget -= kept;
}

}  // namespace

bool ReadStreamedContent(const httplib::Request& request, const httplib::ContentReader& reader,
                         const std::string& streamedPart, const ChunkSink& sink,
                         RequestContent& content) {
  content = RequestContent{};
  content.multipart = request.is_multipart_form_data();
  std::size_t budget = kKeptBytes;
  if (!content.multipart)
    return reader([&](const char* data, std::size_t size) {
      Keep(content.body, data, size, budget);
      return true;
    });

  bool streaming = false, streamed = false;
  return reader(
      [&](const httplib::MultipartFormData& header) {
        if (content.parts.size() >= CPPHTTPLIB_MULTIPART_FORM_DATA_FILE_MAX_COUNT) return false;
        content.parts.push_back({header.name, header.filename, 0, ""});
        streaming = !streamed && header.name == streamedPart;
        streamed = streamed || streaming;
        return true;
      },
      [&](const char* data, std::size_t size) {
        if (content.parts.empty()) return false;
        FormPart& part = content.parts.back();
        part.size += size;
        if (streaming)
          sink(data, size);
        else
          Keep(part.content, data, size, budget);
        return true;
      });
}

}  // namespace koral_server
