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

// Commits gathered so that many files share the device's flushes. Each
// file's bytes still reach the device before its rename, and the renamed
// names before anything (the version file) may name them, but in batches of
// up to kFiles files, kBytes or kMilliseconds (a batch of large files is
// kept small, so that its flush does not hold up the transfers): every file of the batch is flushed
// (the first flush writes what all of them hold, the others find nothing
// left), then all are renamed, then each of their folders is flushed once.
// A card pulled in between loses at most the batch: the old file (or none)
// is then in place, never one with bytes missing, and the temporaries are
// cleared by the next run. On Windows each commit is made at once, its
// rename written through (MOVEFILE_WRITE_THROUGH): a batch holds nothing.
class CCardCommitBatch {
 public:
  static constexpr int kFiles = 64;
  static constexpr unsigned long long kBytes = 16ull << 20;
  static constexpr ULONGLONG kMilliseconds = 1000;

  CCardCommitBatch() = default;
  ~CCardCommitBatch();  // commits what is pending
  CCardCommitBatch(const CCardCommitBatch&) = delete;
  CCardCommitBatch& operator=(const CCardCommitBatch&) = delete;

  // Commits every pending file; false (with the system's error of the first
  // failure) when one of them could not be put in place or its folder not
  // flushed. A file that failed keeps its old one.
  bool Flush();

 private:
  friend class CCardFileWriter;
#ifndef _WIN32
  struct Pending {
    int file;
    int folder;
    std::string folderPath;  // the folder as a card path, "/"-joined
    std::string temporary, name;
    unsigned long long bytes;
  };
  // A new handle of the folder at path that a pending file holds, or -1:
  // the files of one folder in a batch then share one walk to it.
  int DuplicateFolder(const std::string& path);
  // Takes over a written temporary (its file and folder held open); commits
  // the batch when it is full or old enough. False when that failed.
  bool Add(Pending pending);
  bool FlushLocked();
  std::vector<Pending> m_pending;
  std::mutex m_mutex;       // a file may be committed on the hashing thread
  ULONGLONG m_started = 0;  // when the batch's first file came
  unsigned long long m_nBytes = 0;
#endif
};

// What the caller saw under a target's name just before: nothing it knows
// of, or no folder (a file, or a folder above the name that does not exist
// yet). kNoFolder spares Open its own look for a folder under the name,
// which on a card costs a search of the whole folder. A folder that appears
// there after all still never loses it: the rename is refused.
enum class CardTarget { kUnknown, kNoFolder };

class CCardFileWriter {
 public:
  CCardFileWriter() = default;
  ~CCardFileWriter();  // aborts a write that was not committed
  CCardFileWriter(const CCardFileWriter&) = delete;
  CCardFileWriter& operator=(const CCardFileWriter&) = delete;

  // Starts the file at path, card-relative UTF-8 with '\' or '/'. False when
  // the path leaves the card, passes a link or a missing folder, or the
  // temporary file cannot be created. A file to be committed with a batch
  // names it here, so that it takes the folder a pending file of the batch
  // holds open instead of walking to it again.
  bool Open(const char* path, CCardCommitBatch* batch = nullptr, CardTarget target = CardTarget::kUnknown);
  // Appends bytes; false on a write error (the write is then aborted).
  bool Write(const void* data, std::size_t size);
  // Flushes the bytes to the device, renames them into place and flushes the
  // folder's new entry: at once, or with a batch when the batch commits
  // (its failures are then the batch's). False when that fails; the
  // temporary is then gone and the old file unchanged (unless only the
  // folder's flush failed: then the new file is in place but not known to
  // be on the device).
  bool Commit(CCardCommitBatch* batch = nullptr);
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
  std::string m_folderPath;  // m_folder as a card path, "/"-joined
  int m_file = -1;
  unsigned long long m_nWritten = 0;  // bytes in m_file
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
// The same in every folder of the card, also those no list names any more:
// a walk from the root that follows no link and leaves the card's file
// system for none mounted inside it.
void RemoveAllCardTemporaries();

// Creates a card folder (card-relative) without following a link on the way;
// sets the last error as CreateDirectoryW does (183 when it exists).
BOOL CreateCardDirectory(const char* path);
