#include "server/log_scripts.h"

#include <httplib.h>

#include <algorithm>

#include "server/form.h"

namespace koral_server {

Answer HandleLogSetDir(const httplib::Request& request, ServerState& state) {
  const auto session = RequestSession(request, state);
  if (!session) return TextAnswer("ER");
  std::string dir = FormValue(ParseUrlForm(request.body), "dir").value_or("");
  // The server must never write outside its data folder.
  if (!IsSafeRelativeFolder(dir)) return TextAnswer("ER", 400);
  std::replace(dir.begin(), dir.end(), '\\', '/');
  state.sessions.SetLogDir(session->id, dir);
  state.received.AppendLine("logsetdir.txt", EscapeForLine(session->session.serial) + " " + EscapeForLine(dir));
  return TextAnswer("OK");
}

Answer HandleLogUpload(const httplib::Request& request, ServerState& state) {
  const auto session = RequestSession(request, state);
  if (!session) return TextAnswer("ER", 403);
  if (!request.has_file("file")) return TextAnswer("ER", 400);
  const httplib::MultipartFormData file = request.get_file_value("file");
  const std::string name = request.has_file("name") ? request.get_file_value("name").content : file.filename;
  const std::string& serial = session->session.serial;
  if (!IsSafeName(name) || !IsSafeName(serial)) return TextAnswer("ER", 400);
  const fs::path target = fs::path("logs") / serial / session->session.logDir / name;
  if (!state.received.WriteFile(target, file.content)) return TextAnswer("ER", 500);
  return TextAnswer("OK");
}

}  // namespace koral_server
