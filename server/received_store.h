// What the server writes: everything goes below <data>/received/, and
// nothing that a client names may lead outside it.
#pragma once

#include <mutex>
#include <string>

#include "server/data_folder.h"

namespace koral_server {

// One path component a client may name: not empty, not "." or "..", no '/'
// or '\', no NUL.
bool IsSafeName(const std::string& name);
// A relative folder path a client may name ('/' or '\' separated): "" or
// safe components only, not absolute, no drive letter. Empty components
// (doubled or trailing separators) are allowed and ignored.
bool IsSafeRelativeFolder(const std::string& folder);

class ReceivedStore {
 public:
  explicit ReceivedStore(fs::path root) : m_root(std::move(root)) {}

  // Appends one line to received/<file>.
  bool AppendLine(const std::string& file, const std::string& line);
  // Writes received/<relative> whole, creating its folders. relative must be
  // built from checked names.
  bool WriteFile(const fs::path& relative, const std::string& bytes);

 private:
  fs::path m_root;
  std::mutex m_lock;  // one write at a time, so records never interleave
};

}  // namespace koral_server
