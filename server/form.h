// Wire text: url-form bodies as the client sends them (raw values, no
// percent-decoding), the session cookie, hex-coded fields, and escaping for
// one-line records.
#pragma once

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
