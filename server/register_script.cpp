#include "server/register_script.h"

#include <httplib.h>

#include <algorithm>
#include <array>

#include "server/form.h"

namespace koral_server {
namespace {

constexpr std::array<const char*, 9> kHexFields = {"name",     "company", "distributor",
                                                   "zip",      "address1", "address2",
                                                   "phone",    "fax",     "email"};

bool IsHexField(const std::string& key) {
  return std::any_of(kHexFields.begin(), kHexFields.end(), [&](const char* f) { return key == f; });
}

}  // namespace

Answer HandleRegistration(const httplib::Request& request, ServerState& state) {
  const auto session = RequestSession(request, state);
  if (!session || !session->session.byUpdateQuery || !IsSafeName(session->session.serial))
    return TextAnswer("Error");

  const FormFields form = ParseUrlForm(request.body);
  for (const char* field : kHexFields)
    if (!FormValue(form, field)) return TextAnswer("Error");

  // key=value lines in arrival order; each value ends at its zero byte.
  std::string record;
  for (const auto& [key, value] : form) {
    std::string text = value;
    if (IsHexField(key)) {
      if (!DecodeHex(value, text)) return TextAnswer("Error");
      text = text.substr(0, text.find('\0'));
    } else if (key != "lang") {
      continue;
    }
    record += key + "=" + EscapeForLine(text) + "\n";
  }
  const std::string& serial = session->session.serial;
  if (!state.received.WriteFile(fs::path("registrations") / (serial + ".txt"), record))
    return TextAnswer("Error");
  state.accounts.MarkRegistered(serial);
  return TextAnswer(" Done");
}

}  // namespace koral_server
