// Wire text: url-form bodies as the client sends them (raw values, no
// percent-decoding), multipart parts, the session cookie, hex-coded fields,
// and escaping for one-line records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace httplib {
struct Request;
}

namespace koral_server {

using FormFields = std::vector<std::pair<std::string, std::string>>;

// "a=1&b=2" into its pairs in order; a pair without '=' has an empty value.
FormFields ParseUrlForm(const std::string& body);
// The first value of key, or nullopt.
std::optional<std::string> FormValue(const FormFields& fields, const std::string& key);

// One multipart part: its name, file name and size in bytes, and its content
// unless that went elsewhere as it arrived or was cut (then content holds
// fewer than size bytes).
struct FormPart {
  std::string name;
  std::string filename;
  std::uint64_t size = 0;
  std::string content;

  bool Whole() const { return content.size() == size; }
};

// What a request carried: a multipart form's parts in arrival order, or else
// its body as sent.
struct RequestContent {
  bool multipart = false;
  std::string body;
  std::vector<FormPart> parts;
};

// The content the HTTP library has read whole into request.
RequestContent ContentOf(const httplib::Request& request);
// The first part called name, or null.
const FormPart* FindPart(const RequestContent& content, const std::string& name);
// For the request log: the parts as "name:size(filename)" ordered by name,
// or else the body; escaped.
std::string ContentSummary(const RequestContent& content);
// The text a fault's match is looked for in: the body, and each part's name,
// file name and kept content.
std::string ContentSubject(const RequestContent& content);

// The request's query text as it came, after '?'; "" when none.
std::string RawQuery(const httplib::Request& request);
// %XX sequences to bytes; everything else (including '+') stays.
std::string PercentDecode(const std::string& text);

// The KORALSESSION value of the request's Cookie headers, "" when none.
std::string SessionCookie(const httplib::Request& request);
std::string SessionCookieHeader(const std::string& id);

// Hex digits (either case, even count) to bytes; false when malformed.
bool DecodeHex(const std::string& hex, std::string& bytes);

// Control characters and '\' as \r, \n, \t, \\ or \xNN, so the text stays on one line.
std::string EscapeForLine(const std::string& text);

}  // namespace koral_server
