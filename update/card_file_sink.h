// A reply body streamed into one card file as it arrives, digested on the
// way, so that neither the body nor the file is ever held whole in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/http_session.h"
#include "platform/card_file_writer.h"
#include "update/card_folders.h"
#include "update/md5.h"

// Writes through CCardFileWriter, which keeps the old file until Commit. The
// file (and its folders) is started at the first byte, or by Commit for an
// empty body, so a transfer that fails before any byte creates nothing. A
// failure to write is kept, not returned: the transfer
// goes on to its end, so that the caller can tell what arrived before it
// reports why the file was not written. Every byte received is digested.
class CCardFileSink : public CHttpBodySink {
 public:
  enum class State {
    kEmpty,         // nothing received yet
    kWriting,       // every byte so far is in the temporary file
    kFolderFailed,  // a folder of the path could not be made
    kFileFailed,    // the file could not be started or written
  };

  // path: card-relative UTF-8; folders: the same path as the wide text whose
  // '\'-separated prefixes are made as folders (CreateParentDirectories),
  // but for those in known (the pass's folders, which it extends).
  CCardFileSink(std::string path, std::wstring folders, FolderSet* known = nullptr);
  CCardFileSink(const CCardFileSink&) = delete;
  CCardFileSink& operator=(const CCardFileSink&) = delete;

  bool Write(const unsigned char* data, std::size_t size) override;

  State GetState() const { return m_state; }
  // The system's error code of the folder or file failure (0: none).
  int GetError() const { return m_nError; }
  std::uint64_t Size() const { return m_nSize; }
  // The digest of every byte received; call once, after the transfer. False
  // when the system could not digest them (digest is then left as it was).
  bool FinalDigest(unsigned char (&digest)[16]);
  // Puts the file in place; false when it was not completely written or the
  // device refused it (the old file then stays). GetState then tells whether
  // a folder or the file itself failed.
  bool Commit();
  // Drops what was written; the old file stays. The destructor does it too.
  void Abort() { m_writer.Abort(); }

 private:
  // Makes the file's folders and starts the file.
  void Start();
  // Hands the gathered bytes to the writer; false when it refused them.
  bool Flush();

  std::string m_path;
  std::wstring m_folders;
  FolderSet* m_pKnownFolders;
  CCardFileWriter m_writer;
  CMd5 m_md5;
  // The transfer hands over small chunks; they go to the file in blocks of
  // the buffer's capacity, so a file takes few write calls.
  std::vector<unsigned char> m_buffer;
  State m_state = State::kEmpty;
  int m_nError = 0;
  std::uint64_t m_nSize = 0;
};
