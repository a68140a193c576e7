#include "update/card_file_sink.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/files.h"
#include "update/card_folders.h"

CCardFileSink::CCardFileSink(std::string path, std::wstring folders, CMd5Worker& hasher, FolderSet* known,
                             CCardCommitBatch* batch, CardTarget target)
    : m_path(std::move(path)),
      m_folders(std::move(folders)),
      m_pKnownFolders(known),
      m_pBatch(batch),
      m_target(target),
      m_hasher(hasher) {
  m_md5.Init();
  m_blocks[0].bytes = std::make_unique_for_overwrite<unsigned char[]>(kBlockBytes);
}

CCardFileSink::~CCardFileSink() { m_hasher.Wait(std::max(m_nLastTicket, m_nStepTicket)); }

void CCardFileSink::ThenOnHasher(std::function<void()> step) {
  if (m_nLastTicket == 0)
    step();
  else
    m_nStepTicket = m_hasher.AddStep(std::move(step));
}

bool CCardFileSink::Write(const unsigned char* data, std::size_t size) {
  if (size == 0) return true;
  m_nSize += size;
  if (m_state == State::kEmpty) Start();
  while (size > 0) {
    const std::size_t take = std::min(size, kBlockBytes - m_nFilled);
    std::memcpy(m_blocks[m_nBlock].bytes.get() + m_nFilled, data, take);
    m_nFilled += take;
    data += take;
    size -= take;
    HandOnPieces();
    if (m_nFilled == kBlockBytes) NextBlock();
  }
  return true;
}

void CCardFileSink::Start() {
  if (CreateParentDirectories(m_folders.c_str(), m_pKnownFolders) != 0) {
    m_state = State::kFolderFailed;
  } else {
    // An earlier file of the pass may have made a folder under this name.
    if (m_pKnownFolders && m_pKnownFolders->count(m_folders)) m_target = CardTarget::kUnknown;
    m_state = m_writer.Open(m_path.c_str(), m_pBatch, m_target) ? State::kWriting : State::kFileFailed;
  }
  if (m_state != State::kWriting) m_nError = LastSystemError();
}

void CCardFileSink::HandOnPieces() {
  Block& block = m_blocks[m_nBlock];
  for (; m_nFilled - m_nHanded >= kPieceBytes; m_nHanded += kPieceBytes)
    block.ticket = m_nLastTicket = m_hasher.Add(m_md5, block.bytes.get() + m_nHanded, kPieceBytes);
}

void CCardFileSink::NextBlock() {
  // The hasher reads the block while it is written.
  if (m_state == State::kWriting) Flush();
  m_nBlock = (m_nBlock + 1) % kBlocks;
  m_nFilled = m_nHanded = 0;
  Block& next = m_blocks[m_nBlock];
  if (next.bytes)
    m_hasher.Wait(next.ticket);
  else
    next.bytes = std::make_unique_for_overwrite<unsigned char[]>(kBlockBytes);
}

bool CCardFileSink::Flush() {
  const bool written = m_nFilled == 0 || m_writer.Write(m_blocks[m_nBlock].bytes.get(), m_nFilled);
  if (!written) {
    m_state = State::kFileFailed;
    m_nError = LastSystemError();
  }
  return written;
}

bool CCardFileSink::FinalDigest(unsigned char (&digest)[kMd5DigestBytes]) {
  // The rest of the last block is less than a piece: not worth a hand-over.
  m_hasher.Wait(m_nLastTicket);
  m_md5.Update(m_blocks[m_nBlock].bytes.get() + m_nHanded, m_nFilled - m_nHanded);
  if (!m_md5.Final()) return false;
  std::memcpy(digest, m_md5.digest, kMd5DigestBytes);
  return true;
}

bool CCardFileSink::Commit() {
  if (m_state == State::kEmpty) Start();  // an empty file is a file too
  if (m_state != State::kWriting || !Flush()) {
    m_writer.Abort();
    return false;
  }
  if (m_writer.Commit(m_pBatch)) return true;
  m_state = State::kFileFailed;
  m_nError = LastSystemError();
  return false;
}
