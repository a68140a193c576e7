#include "server/form.h"

#include <httplib.h>

#include <algorithm>
#include <cstdio>

namespace koral_server {
namespace {
constexpr const char* kCookieName = "KORALSESSION";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

FormFields ParseUrlForm(const std::string& body) {
  FormFields fields;
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string::npos) end = body.size();
    const std::string pair = body.substr(start, end - start);
    if (!pair.empty()) {
      const size_t eq = pair.find('=');
      if (eq == std::string::npos)
        fields.emplace_back(pair, "");
      else
        fields.emplace_back(pair.substr(0, eq), pair.substr(eq + 1));
    }
    start = end + 1;
  }
  return fields;
}

std::optional<std::string> FormValue(const FormFields& fields, const std::string& key) {
  for (const auto& [name, value] : fields)
    if (name == key) return value;
  return std::nullopt;
}

RequestContent ContentOf(const httplib::Request& request) {
  RequestContent content;
  content.multipart = request.is_multipart_form_data();
  content.body = request.body;
  for (const auto& [name, part] : request.files)
    content.parts.push_back({name, part.filename, part.content.size(), part.content});
  return content;
}

const FormPart* FindPart(const RequestContent& content, const std::string& name) {
  for (const FormPart& part : content.parts)
    if (part.name == name) return &part;
  return nullptr;
}

std::string ContentSummary(const RequestContent& content) {
  if (!content.multipart) return EscapeForLine(content.body);
  std::vector<const FormPart*> parts;
  for (const FormPart& part : content.parts) parts.push_back(&part);
  std::stable_sort(parts.begin(), parts.end(),
                   [](const FormPart* a, const FormPart* b) { return a->name < b->name; });
  std::string text;
  for (const FormPart* part : parts) {
    if (!text.empty()) text += ' ';
    text += part->name + ":" + std::to_string(part->size);
    if (!part->filename.empty()) text += "(" + part->filename + ")";
  }
  return EscapeForLine(text);
}

std::string ContentSubject(const RequestContent& content) {
  std::string subject = content.body;
  for (const FormPart& part : content.parts)
    subject += "\n" + part.name + "\n" + part.filename + "\n" + part.content;
  return subject;
}

std::string RawQuery(const httplib::Request& request) {
  const size_t mark = request.target.find('?');
  return mark == std::string::npos ? "" : request.target.substr(mark + 1);
}

std::string PercentDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string SessionCookie(const httplib::Request& request) {
  const std::string prefix = std::string(kCookieName) + "=";
  const size_t count = request.get_header_value_count("Cookie");
  for (size_t i = 0; i < count; ++i) {
    const std::string header = request.get_header_value("Cookie", i);
    size_t start = 0;
    while (start < header.size()) {
      size_t end = header.find(';', start);
      if (end == std::string::npos) end = header.size();
      size_t first = header.find_first_not_of(' ', start);
      if (first != std::string::npos && first < end &&
          header.compare(first, prefix.size(), prefix) == 0) {
        std::string value = header.substr(first + prefix.size(), end - first - prefix.size());
        value.erase(value.find_last_not_of(' ') + 1);
        return value;
      }
      start = end + 1;
    }
  }
  return "";
}

std::string SessionCookieHeader(const std::string& id) { return std::string(kCookieName) + "=" + id; }

bool DecodeHex(const std::string& hex, std::string& bytes) {
  if (hex.size() % 2 != 0) return false;
  std::string out;
  out.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexValue(hex[i]), low = HexValue(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
  }
  bytes = std::move(out);
  return true;
}

std::string EscapeForLine(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char code[5];
          std::snprintf(code, sizeof code, "\\x%02X", c);
          out += code;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

}  // namespace koral_server
