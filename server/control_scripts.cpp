#include "server/control_scripts.h"

#include <httplib.h>

#include "server/form.h"

namespace koral_server {
namespace {

// The spec is the rest of the query after "spec=", so that a match may hold
// '=' or '&' unencoded ("f=4").
std::string SpecOf(const httplib::Request& request) {
  const std::string query = RawQuery(request);
  const size_t start = query.rfind("spec=", 0) == 0 ? 0 : query.find("&spec=");
  if (start == std::string::npos) return "";
  return PercentDecode(query.substr(query.find("spec=", start) + 5));
}

}  // namespace

Answer HandleFaultControl(const httplib::Request& request, ServerState& state) {
  FaultSpec spec;
  if (!ParseFaultSpec(SpecOf(request), spec)) return TextAnswer("ER", 400);
  state.faults.Add(spec);
  return TextAnswer("OK");
}

Answer HandleClearControl(const httplib::Request&, ServerState& state) {
  state.faults.Clear();
  return TextAnswer("OK");
}

}  // namespace koral_server
