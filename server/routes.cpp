#include "server/routes.h"

#include <httplib.h>

#include "server/answer_faults.h"
#include "server/control_scripts.h"
#include "server/delivery.h"
#include "server/form.h"
#include "server/log_scripts.h"
#include "server/manual_scripts.h"
#include "server/policy_site.h"
#include "server/register_script.h"
#include "server/update_scripts.h"

namespace koral_server {

using Handler = Answer (*)(const httplib::Request&, ServerState&);

namespace {

// The multipart parts as "name:size(filename)".
std::string PartsSummary(const httplib::Request& request) {
  std::string text;
  for (const auto& [name, part] : request.files) {
    if (!text.empty()) text += ' ';
    text += name + ":" + std::to_string(part.content.size());
    if (!part.filename.empty()) text += "(" + part.filename + ")";
  }
  return EscapeForLine(text);
}

std::string Summary(const httplib::Request& request) {
  std::string what;
  if (request.is_multipart_form_data())
    what = PartsSummary(request);
  else if (!request.body.empty())
    what = EscapeForLine(request.body);
  else
    what = EscapeForLine(RawQuery(request));
  const std::string cookie = SessionCookie(request);
  return (what.empty() ? "" : what + " ") + "cookie=" + (cookie.empty() ? "-" : EscapeForLine(cookie));
}

// The text a fault's match is looked for in.
std::string FaultSubject(const httplib::Request& request) {
  std::string subject = RawQuery(request) + "\n" + request.body;
  for (const auto& [name, part] : request.files)
    subject += "\n" + name + "\n" + part.filename + "\n" + part.content;
  return subject;
}

httplib::Server::Handler Wrap(ServerState& state, Handler handler, bool faultable) {
  return [&state, handler, faultable](const httplib::Request& request, httplib::Response& response) {
    state.log.Request(request.method, request.path, Summary(request));
    std::optional<FaultKind> fault;
    if (faultable) fault = state.faults.Take(request.path, FaultSubject(request));
    const bool replaced = fault && ReplacesAnswer(*fault);
    Answer answer = replaced ? FaultAnswer(*fault) : handler(request, state);
    if (fault && !replaced) SpoilAnswer(*fault, answer);
    const std::string note = fault ? std::string("fault=") + FaultName(*fault) : "";
    if (answer.drop)
      state.log.Dropped(note);
    else
      state.log.Result(answer.status, answer.Size(), note);
    Deliver(std::move(answer), request, response, state.stopping);
  };
}

Answer NotFound(const httplib::Request&, ServerState&) { return ErrorPage(404); }

}  // namespace

void InstallRoutes(httplib::Server& server, ServerState& state) {
  server.Post("/script/update.php", Wrap(state, HandleUpdateQuery, true));
  server.Post("/script/get.php", Wrap(state, HandleGetFile, true));
  server.Post("/script/manual.php", Wrap(state, HandleManualQuery, true));
  server.Post("/script/logsetdir.php", Wrap(state, HandleLogSetDir, true));
  server.Post("/script/logupload.php", Wrap(state, HandleLogUpload, true));
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
