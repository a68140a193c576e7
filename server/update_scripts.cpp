#include "server/update_scripts.h"

#include <httplib.h>

#include <cstdlib>
#include <optional>

#include "server/form.h"
#include "server/list_overrides.h"

namespace koral_server {
namespace {

// Is this client older than client/min_version.txt asks for? With
// --client-update-once only the first such query of the run is told so.
bool ShouldUpdateClient(const std::string& clientVersion, ServerState& state) {
  long minimum = 0;
  if (!state.data.ReadClientMinVersion(minimum)) return false;
  if (std::strtol(clientVersion.c_str(), nullptr, 10) >= minimum) return false;
  if (!state.clientUpdateOnce) return true;
  return !state.clientUpdateGiven.exchange(true);
}

bool ParseIndex(const std::string& text, long& index) {
  if (text.empty()) return false;
  char* end = nullptr;
  index = std::strtol(text.c_str(), &end, 10);
  return *end == '\0';
}

}  // namespace

Answer HandleUpdateQuery(const httplib::Request& request, ServerState& state) {
  const FormFields form = ParseUrlForm(request.body);
  const std::string serial = FormValue(form, "serial").value_or("");
  const std::string password = FormValue(form, "pwd").value_or("");
  const std::string clientVersion = FormValue(form, "clientversion").value_or("");
  state.received.AppendLine(
      "queries.txt", EscapeForLine(serial) + " notify=" + (FormValue(form, "notify") == "1" ? "1" : "0") +
                         " batch=" + (FormValue(form, "batch") == "1" ? "1" : "0") +
                         " clientversion=" + EscapeForLine(clientVersion));

  const LoginResult login = state.accounts.Login(serial, password);
  if (login == LoginResult::Bad) return TextAnswer("I0");

  Answer answer;
  if (ShouldUpdateClient(clientVersion, state))
    answer = TextAnswer("Client Update: " + state.BaseUrl() + "/client/koral70.exe");
  else if (login == LoginResult::Unregistered)
    answer = TextAnswer("U0");
  else
    answer = BinaryAnswer(ApplyListOverrides(state.data, state.release.ListAnswer()));
  answer.headers.emplace_back("Set-Cookie", SessionCookieHeader(state.sessions.Open(serial, true)));
  return answer;
}

Answer HandleGetFile(const httplib::Request& request, ServerState& state) {
  if (!RequestSession(request, state)) return TextAnswer("ER");
  long index = 0;
  if (!ParseIndex(FormValue(ParseUrlForm(request.body), "f").value_or(""), index))
    return TextAnswer("ER");
  if (index == -1) return TextAnswer("OK");
  const std::optional<ReleaseItem> item =
      index < 0 ? std::nullopt : state.release.Item(static_cast<size_t>(index));
  if (!item) return TextAnswer("ER");
  return FileAnswer("BF", item->content, ContentSize(*item), "application/octet-stream");
}

}  // namespace koral_server
