// What the server writes: everything goes below <data>/received/, and
// nothing that a client names may lead outside it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
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

// A file arriving below received/: its bytes go to a temporary file in its
// folder, which takes the file's name only once it is complete, so that no
// file of that name is ever partly written. Unless it is kept, the temporary
// file goes again at the end, and so do the folders made for it when they
// are still empty.
class IncomingFile {
 public:
  IncomingFile(std::mutex& lock, fs::path folder, fs::path firstMade, fs::path temporary, FILE* file)
      : m_lock(lock), m_folder(std::move(folder)), m_firstMade(std::move(firstMade)),
        m_temporary(std::move(temporary)), m_file(file) {}
  ~IncomingFile();
  IncomingFile(const IncomingFile&) = delete;
  IncomingFile& operator=(const IncomingFile&) = delete;

  // Appends bytes; a failure is remembered, and Keep then fails.
  void Write(const char* data, std::size_t size);
  // Completes the file as <folder>/<name>; false when name is not a safe
  // name or any write, or the renaming, failed.
  bool Keep(const std::string& name);

 private:
  std::mutex& m_lock;     // the store's: folders are made and removed one file at a time
  fs::path m_folder;
  fs::path m_firstMade;   // the outermost folder made for this file; empty when none
  fs::path m_temporary;
  FILE* m_file;
  bool m_failed = false;
  bool m_kept = false;
};

class ReceivedStore {
 public:
  explicit ReceivedStore(fs::path root) : m_root(std::move(root)) {}

  // Appends one line to received/<file>.
  bool AppendLine(const std::string& file, const std::string& line);
  // Writes received/<relative> whole, creating its folders. relative must be
  // built from checked names.
  bool WriteFile(const fs::path& relative, const std::string& bytes);
  // A file that arrives in received/<folder>, creating the folder. folder
  // must be built from checked names. Null when the folder or the temporary
  // file cannot be made.
  std::unique_ptr<IncomingFile> Receive(const fs::path& folder);

 private:
  fs::path m_root;
  // One write, or one incoming file's folders, at a time, so that records
  // never interleave and no folder is removed while a file is put into it.
  std::mutex m_lock;
  unsigned m_incoming = 0;  // numbers the temporary files; guarded by m_lock
};

}  // namespace koral_server
