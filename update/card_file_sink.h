// A reply body streamed into one card file as it arrives, digested on the
// way, so that neither the body nor the file is ever held whole in memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/http_session.h"
#include "platform/card_file_writer.h"
#include "update/card_folders.h"
#include "update/md5.h"
#include "update/md5_worker.h"

// Writes through CCardFileWriter, which keeps the old file until Commit. The
// file (and its folders) is started at the first byte, or by Commit for an
// empty body, so a transfer that fails before any byte creates nothing. A
// failure to write is kept, not returned: the transfer
// goes on to its end, so that the caller can tell what arrived before it
// reports why the file was not written. Every byte received is digested,
// most of them by the hashing worker while the transfer goes on.
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
  // but for those in known (the pass's folders, which it extends). hasher
  // digests the received bytes; it outlives the sink, as does batch, which
  // gathers the pass's commits (none: the file is committed at once).
  // target: what the caller saw under the name (a folder this pass made
  // there is always looked for).
  CCardFileSink(std::string path, std::wstring folders, CMd5Worker& hasher, FolderSet* known = nullptr,
                CCardCommitBatch* batch = nullptr, CardTarget target = CardTarget::kUnknown);
  // Waits until the hasher is done with this file's bytes and its last step.
  ~CCardFileSink() override;
  CCardFileSink(const CCardFileSink&) = delete;
  CCardFileSink& operator=(const CCardFileSink&) = delete;

  bool Write(const unsigned char* data, std::size_t size) override;

  State GetState() const { return m_state; }
  // The system's error code of the folder or file failure (0: none).
  int GetError() const { return m_nError; }
  std::uint64_t Size() const { return m_nSize; }
  // The digest of every byte received; call once, after the transfer. False
  // when the system could not digest them (digest is then left as it was).
  bool FinalDigest(unsigned char (&digest)[kMd5DigestBytes]);
  // Puts the file in place; false when it was not completely written or the
  // device refused it (the old file then stays). GetState then tells whether
  // a folder or the file itself failed.
  bool Commit();
  // Drops what was written; the old file stays. The destructor does it too.
  void Abort() { m_writer.Abort(); }

  // Runs step (which may take the digest and commit) on the hasher's thread
  // once it has digested this file's bytes, so that the transfer thread can
  // go on with the next file; a file the hasher took no part in runs it
  // here and now. The sink is the step's alone until StepDone.
  void ThenOnHasher(std::function<void()> step);
  bool StepDone() { return m_hasher.Done(m_nStepTicket); }
  void WaitForStep() { m_hasher.Wait(m_nStepTicket); }

 private:
  // The transfer hands over small chunks. They are gathered in blocks: a
  // full block goes to the file in one write call, and each of its pieces to
  // the hasher as soon as it is complete. A block is filled again only once
  // the hasher is done with it, so the bytes in flight stay a few blocks
  // however large the file.
  static constexpr std::size_t kBlockBytes = 256 * 1024;
  static constexpr std::size_t kPieceBytes = 64 * 1024;
  static constexpr std::size_t kBlocks = 4;
  static_assert(kBlockBytes % kPieceBytes == 0, "a full block is handed on as whole pieces");
  struct Block {
    std::unique_ptr<unsigned char[]> bytes;  // kBlockBytes, made when first needed
    std::uint64_t ticket = 0;                // the hasher's ticket for its last piece
  };

  // Makes the file's folders and starts the file.
  void Start();
  // Hands the current block's complete pieces to the hasher.
  void HandOnPieces();
  // Writes the full current block and moves on to the next one.
  void NextBlock();
  // Hands the gathered bytes of the current block to the writer; false when
  // it refused them.
  bool Flush();

  std::string m_path;
  std::wstring m_folders;
  FolderSet* m_pKnownFolders;
  CCardCommitBatch* m_pBatch;
  CardTarget m_target;
  CCardFileWriter m_writer;
  CMd5Worker& m_hasher;
  CMd5 m_md5;
  std::array<Block, kBlocks> m_blocks;
  std::size_t m_nBlock = 0;         // the block being filled
  std::size_t m_nFilled = 0;        // its bytes received
  std::size_t m_nHanded = 0;        // its bytes handed to the hasher
  std::uint64_t m_nLastTicket = 0;  // the last piece's
  std::uint64_t m_nStepTicket = 0;
  State m_state = State::kEmpty;
  int m_nError = 0;
  std::uint64_t m_nSize = 0;
};
