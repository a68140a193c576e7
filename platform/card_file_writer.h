// The one writer of card files. A file is written under a short temporary
// name in its own folder and renamed over its name only when every byte is
// on the device, so a card file always holds its old or its new bytes. The
// path is walked from the card's root (the current directory) one folder at
// a time without following symbolic links, and the temporary file is created
// exclusively without following one, so no write ever leaves the card. On
// Windows a link is a reparse point, refused in the same places.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/wintypes.h"

class CCardFileWriter {
 public:
  CCardFileWriter() = default;
  ~CCardFileWriter();  // aborts a write that was not committed
  CCardFileWriter(const CCardFileWriter&) = delete;
  CCardFileWriter& operator=(const CCardFileWriter&) = delete;

  // Starts the file at path, card-relative UTF-8 with '\' or '/'. False when
  // the path leaves the card, passes a link or a missing folder, or the
  // temporary file cannot be created.
  bool Open(const char* path);
  // Appends bytes; false on a write error (the write is then aborted).
  bool Write(const void* data, std::size_t size);
  // Flushes the bytes to the device, renames them into place and flushes the
  // folder's new entry. False when that fails; the temporary is then gone and
  // the old file unchanged (unless only the folder's flush failed: then the
  // new file is in place but not known to be on the device).
  bool Commit();
  // Drops the temporary file; the old file stays as it was.
  void Abort();
  // After a failed Open, Write or Commit, LastSystemError() tells why.

 private:
  // Aborts and returns false, keeping the system error of the failed call.
  bool Fail();
#ifdef _WIN32
  // Every folder from the root to the target's, held open without delete
  // sharing so that none can be renamed or replaced while the file is
  // written; the target's folder as a card path.
  std::vector<HANDLE> m_folders;
  std::wstring m_folderPath;
  HANDLE m_file = INVALID_HANDLE_VALUE;
#else
  int m_folder = -1;
  int m_file = -1;
#endif
  std::string m_name;       // the target's name inside m_folder
  std::string m_temporary;  // the temporary file's name inside m_folder
};

// Writes a whole card file at once through CCardFileWriter; after a false
// result LastSystemError() tells why.
bool WriteCardFile(const char* path, const void* data, std::size_t size);

// Whether a file name is one of the writer's temporary names.
bool IsCardTemporaryName(const char* name);
// Removes the temporary files an interrupted write left in a card folder
// (card-relative, "" or "." for the root). Links are not followed.
void RemoveCardTemporaries(const char* folder);

// Creates a card folder (card-relative) without following a link on the way;
// sets the last error as CreateDirectoryW does (183 when it exists).
BOOL CreateCardDirectory(const char* path);
