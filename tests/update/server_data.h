// A data folder for the reference server, written by a test: accounts, the
// release (list and files), the new client for "C" answers, and what the
// server received.
#pragma once

#include <string>
#include <vector>

#include "update/update_file_entry.h"

namespace testing_support {

struct ReleaseFile {
  std::string name;  // as in the list: '\' separators
  std::string content;
  std::string tag = "1.0";
  bool localDigest = false;
};

class ServerData {
 public:
  ServerData();
  ~ServerData();
  ServerData(const ServerData&) = delete;
  ServerData& operator=(const ServerData&) = delete;

  const std::string& Path() const { return m_path; }
  // The server's arguments for this folder.
  std::vector<std::string> Arguments() const { return {"--data", m_path}; }

  void SetAccounts(const std::string& lines);
  // Writes release/list.txt and the files, replacing the previous release.
  void SetRelease(const std::vector<ReleaseFile>& files);
  // Changes one release file's content (the list stays).
  void SetContent(const std::string& name, const std::string& content);
  void SetClient(const std::string& content, int minVersion);
  // Writes release/overrides.txt: list fields the answer announces instead
  // of the release's ("<index> name|size|md5 <value>" lines).
  void SetListOverrides(const std::string& lines);

  // A file under received/ ("" when missing).
  std::string Received(const std::string& relative) const;
  bool HasReceived(const std::string& relative) const;

 private:
  std::string m_path;
};

// The path of a list name under a folder ('\' becomes '/').
std::string CardPath(const std::string& name);
// The MD5 digest of bytes, as 32 lower-case hex digits.
std::string Md5Hex(const std::string& bytes);
// The records of a version file's bytes, in order.
std::vector<UpdateFileEntry> RecordsOf(const std::string& bytes);
// A 16-byte digest as lower-case hex.
std::string DigestHex(const unsigned char* digest);

}  // namespace testing_support
