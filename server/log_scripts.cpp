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

LogUpload::LogUpload(const httplib::Request& request, ServerState& state)
    : m_session(RequestSession(request, state)) {
  if (m_session && IsSafeName(m_session->session.serial))
    m_file = state.received.Receive(fs::path("logs") / m_session->session.serial / m_session->session.logDir);
}

void LogUpload::Write(const char* data, std::size_t size) {
  if (m_file) m_file->Write(data, size);
}

Answer LogUpload::Finish(const RequestContent& content) {
  if (!m_session) return TextAnswer("ER", 403);
  const FormPart* file = FindPart(content, "file");
  if (!file) return TextAnswer("ER", 400);
  const FormPart* namePart = FindPart(content, "name");
  // A name too long to be kept whole is no file name either.
  if (namePart && !namePart->Whole()) return TextAnswer("ER", 400);
  const std::string name = namePart ? namePart->content : file->filename;
  if (!IsSafeName(name) || !IsSafeName(m_session->session.serial)) return TextAnswer("ER", 400);
  if (!m_file || !m_file->Keep(name)) return TextAnswer("ER", 500);
  return TextAnswer("OK");
}

}  // namespace koral_server
