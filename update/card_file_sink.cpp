#include "update/card_file_sink.h"

#include <cstring>
#include <utility>

#include "platform/files.h"
#include "update/card_folders.h"

namespace {
constexpr std::size_t kWriteBlock = 256 * 1024;
}  // namespace

CCardFileSink::CCardFileSink(std::string path, std::wstring folders, FolderSet* known)
    : m_path(std::move(path)), m_folders(std::move(folders)), m_pKnownFolders(known) {
  m_md5.Init();
  m_buffer.reserve(kWriteBlock);
}

bool CCardFileSink::Write(const unsigned char* data, std::size_t size) {
  if (size == 0) return true;
  m_md5.Update(data, size);
  m_nSize += size;
  if (m_state == State::kEmpty) Start();
  if (m_state != State::kWriting) return true;
  if (m_buffer.size() + size > kWriteBlock && !Flush()) return true;
  if (size >= kWriteBlock) {
    if (!m_writer.Write(data, size)) {
      m_state = State::kFileFailed;
      m_nError = LastSystemError();
    }
  } else {
    m_buffer.insert(m_buffer.end(), data, data + size);
  }
  return true;
}

void CCardFileSink::Start() {
  if (CreateParentDirectories(m_folders.c_str(), m_pKnownFolders) != 0)
    m_state = State::kFolderFailed;
  else
    m_state = m_writer.Open(m_path.c_str()) ? State::kWriting : State::kFileFailed;
  if (m_state != State::kWriting) m_nError = LastSystemError();
}

bool CCardFileSink::Flush() {
  const bool written = m_buffer.empty() || m_writer.Write(m_buffer.data(), m_buffer.size());
  m_buffer.clear();
  if (!written) {
    m_state = State::kFileFailed;
    m_nError = LastSystemError();
  }
  return written;
}

bool CCardFileSink::FinalDigest(unsigned char (&digest)[16]) {
  if (!m_md5.Final()) return false;
  std::memcpy(digest, m_md5.digest, 16);
  return true;
}

bool CCardFileSink::Commit() {
  if (m_state == State::kEmpty) Start();  // an empty file is a file too
  if (m_state != State::kWriting || !Flush()) {
    m_writer.Abort();
    return false;
  }
  if (m_writer.Commit()) return true;
  m_state = State::kFileFailed;
  m_nError = LastSystemError();
  return false;
}
