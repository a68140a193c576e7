// The one writer of card files. A file is written under a short temporary
// name in its own folder and renamed over its name only when every byte is
// on the device, so a card file always holds its old or its new bytes. The
// path is walked from the card's root (the current directory) one folder at
// a time without following symbolic links, and the temporary file is created
// exclusively without following one, so no write ever leaves the card. On
// Windows a link is a reparse point, refused in the same places.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "platform/wintypes.h"

// The card folders that took renamed files whose new names may not be on the
// device yet. A pass commits many files into one batch: each file's bytes are
// on the device before its rename, as ever, but the folders are flushed once
// for up to kFiles files or kMilliseconds, not once a file, and once more by
// Flush before anything (the version file) may name those files. A card
// pulled in between loses at most the names since the last flush: the old
// file (or none) is then in place, never one with bytes missing. On Windows
// each rename is written through (MOVEFILE_WRITE_THROUGH), so there is
// nothing left to flush.
class CCardFolderBatch {
 public:
  static constexpr int kFiles = 64;
  static constexpr ULONGLONG kMilliseconds = 1000;

  CCardFolderBatch() = default;
  ~CCardFolderBatch();  // flushes what is pending
  CCardFolderBatch(const CCardFolderBatch&) = delete;
  CCardFolderBatch& operator=(const CCardFolderBatch&) = delete;

  // Flushes every folder that took a file since the last flush; false (with
  // the system's error) when one of them could not be flushed.
  bool Flush();

 private:
  friend class CCardFileWriter;
#ifndef _WIN32
  // Takes over an open folder that has just taken a renamed file; flushes
  // the batch when it is full or old enough. False when that flush failed.
  bool Add(int folder);
  bool FlushLocked();
  struct Pending {
    int fd;
    unsigned long long device, inode;
  };
  std::vector<Pending> m_folders;
  std::mutex m_mutex;  // a file may be committed on the hashing thread
  int m_nFiles = 0;
  ULONGLONG m_started = 0;  // when the batch's first file was committed
#endif
};

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
  // folder's new entry, at once or, with a batch, when the batch is flushed.
  // False when that fails; the temporary is then gone and the old file
  // unchanged (unless only a folder's flush failed: then the new file is in
  // place but not known to be on the device).
  bool Commit(CCardFolderBatch* batch = nullptr);
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
