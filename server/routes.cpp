#include "server/routes.h"

#include <httplib.h>

#include <functional>
#include <optional>

#include "server/answer_faults.h"
#include "server/control_scripts.h"
#include "server/delivery.h"
#include "server/form.h"
#include "server/form_stream.h"
#include "server/log_scripts.h"
#include "server/manual_scripts.h"
#include "server/policy_site.h"
#include "server/register_script.h"
#include "server/update_scripts.h"

namespace koral_server {

using Handler = Answer (*)(const httplib::Request&, ServerState&);

namespace {

std::string Summary(const httplib::Request& request, const RequestContent& content) {
  std::string what = ContentSummary(content);
  if (what.empty()) what = EscapeForLine(RawQuery(request));
  const std::string cookie = SessionCookie(request);
  return (what.empty() ? "" : what + " ") + "cookie=" + (cookie.empty() ? "-" : EscapeForLine(cookie));
}

// Once the request's content is in: logged, checked against the fault
// switches, answered by the script unless a fault stands in for it, logged
// again, delivered.
void Serve(ServerState& state, const httplib::Request& request, const RequestContent& content,
           bool faultable, const std::function<Answer()>& script, httplib::Response& response) {
  state.log.Request(request.method, request.path, Summary(request, content));
  std::optional<FaultKind> fault;
  if (faultable) fault = state.faults.Take(request.path, RawQuery(request) + "\n" + ContentSubject(content));
  const bool replaced = fault && ReplacesAnswer(*fault);
  Answer answer = replaced ? FaultAnswer(*fault) : script();
  if (fault && !replaced) SpoilAnswer(*fault, answer);
  const std::string note = fault ? std::string("fault=") + FaultName(*fault) : "";
  if (answer.drop)
    state.log.Dropped(note);
  else
    state.log.Result(answer.status, answer.Size(), note);
  Deliver(std::move(answer), request, response, state.stopping);
}

httplib::Server::Handler Wrap(ServerState& state, Handler handler, bool faultable) {
  return [&state, handler, faultable](const httplib::Request& request, httplib::Response& response) {
    Serve(state, request, ContentOf(request), faultable, [&] { return handler(request, state); }, response);
  };
}

// logupload.php reads its form as it arrives, its file part straight to disk.
httplib::Server::HandlerWithContentReader StreamLogUpload(ServerState& state) {
  return [&state](const httplib::Request& request, httplib::Response& response,
                  const httplib::ContentReader& reader) {
    LogUpload upload(request, state);
    RequestContent content;
    const ChunkSink toFile = [&upload](const char* data, size_t size) { upload.Write(data, size); };
    if (!ReadStreamedContent(request, reader, "file", toFile, content)) {
      // Broken off or malformed: answered as the HTTP library answers such a
      // request for every other script.
      response.status = 400;
      return;
    }
    Serve(state, request, content, true, [&] { return upload.Finish(content); }, response);
  };
}

Answer NotFound(const httplib::Request&, ServerState&) { return ErrorPage(404); }

}  // namespace

void InstallRoutes(httplib::Server& server, ServerState& state) {
  server.Post("/script/update.php", Wrap(state, HandleUpdateQuery, true));
  server.Post("/script/get.php", Wrap(state, HandleGetFile, true));
  server.Post("/script/manual.php", Wrap(state, HandleManualQuery, true));
  server.Post("/script/logsetdir.php", Wrap(state, HandleLogSetDir, true));
  server.Post("/script/logupload.php", StreamLogUpload(state));
  server.Post("/script/register.php", Wrap(state, HandleRegistration, true));
  server.Get("/docs/(.+)", Wrap(state, HandleManualDocument, true));
  server.Get("/client/koral70.exe", Wrap(state, HandleClientDownload, true));
  server.Get("/priv-policy/usr-reg/(en|jp)/?", Wrap(state, HandlePolicyPage, true));
  server.Get("/priv-policy/usr-reg/(en|jp)/qx-logo/qx-logo_QX_0.6.png", Wrap(state, HandlePolicyLogo, true));
  server.Get("/control/fault", Wrap(state, HandleFaultControl, false));
  server.Get("/control/clear", Wrap(state, HandleClearControl, false));
  server.Get(".*", Wrap(state, NotFound, true));
  server.Post(".*", Wrap(state, NotFound, true));
}

}  // namespace koral_server
