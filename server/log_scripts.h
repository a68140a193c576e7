// logsetdir.php and logupload.php: the card's log files, stored per card
// below received/logs/<serial>/ in the folder the session last announced.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "server/answer.h"
#include "server/form.h"
#include "server/server_state.h"

namespace koral_server {

Answer HandleLogSetDir(const httplib::Request& request, ServerState& state);

// One logupload.php request. A log may be far larger than memory should
// hold, so its "file" part is written to disk as it arrives: the upload is
// opened from the request's headers, takes the part's bytes, and is
// answered once the whole form is in.
class LogUpload {
 public:
  // Takes the session and its announced folder, and opens the file there.
  LogUpload(const httplib::Request& request, ServerState& state);

  // The "file" part's next bytes.
  void Write(const char* data, std::size_t size);
  // The script: stores the file under its name and answers; the file is
  // dropped unless this stored it.
  Answer Finish(const RequestContent& content);

 private:
  std::optional<SessionRef> m_session;
  std::unique_ptr<IncomingFile> m_file;  // null without a session or when it could not be opened
};

}  // namespace koral_server
