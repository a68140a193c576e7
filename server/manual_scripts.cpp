#include "server/manual_scripts.h"

#include <httplib.h>

#include "server/form.h"
#include "server/received_store.h"

namespace koral_server {
namespace {

constexpr const char* kFallbackManualName = "manual.pdf";

// A regular file streamed whole, or 404.
Answer StreamFile(const fs::path& path, const std::string& contentType) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return ErrorPage(404);
  const auto size = fs::file_size(path, ec);
  if (ec) return ErrorPage(404);
  return FileAnswer("", path, size, contentType);
}

}  // namespace

Answer HandleManualQuery(const httplib::Request& request, ServerState& state) {
  const FormFields form = ParseUrlForm(request.body);
  const std::string serial = FormValue(form, "serial").value_or("");
  if (state.accounts.Login(serial, FormValue(form, "pwd").value_or("")) == LoginResult::Bad)
    return TextAnswer("NG");
  std::string name = state.data.ManualFileName();
  if (name.empty()) name = kFallbackManualName;  // named anyway; /docs/ then answers 404
  Answer answer = TextAnswer("PDF AT: " + state.BaseUrl() + "/docs/" + name);
  answer.headers.emplace_back("Set-Cookie", SessionCookieHeader(state.sessions.Open(serial, false)));
  return answer;
}

Answer HandleManualDocument(const httplib::Request& request, ServerState& state) {
  const std::string name = request.matches.size() > 1 ? request.matches[1].str() : "";
  if (!IsSafeName(name)) return ErrorPage(404);
  return StreamFile(state.data.ManualFolder() / name, "application/pdf");
}

Answer HandleClientDownload(const httplib::Request&, ServerState& state) {
  return StreamFile(state.data.ClientExecutable(), "application/octet-stream");
}

}  // namespace koral_server
