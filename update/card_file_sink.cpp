#include "update/card_file_sink.h"

#include <cstring>
#include <utility>

#include "update/card_folders.h"

CCardFileSink::CCardFileSink(std::string path, std::wstring folders)
    : m_path(std::move(path)), m_folders(std::move(folders)) {
  m_md5.Init();
}

bool CCardFileSink::Write(const unsigned char* data, std::size_t size) {
  if (size == 0) return true;
  m_md5.Update(data, size);
  m_nSize += size;
  if (m_state == State::kEmpty) {
    if (CreateParentDirectories(m_folders.c_str()) != 0)
      m_state = State::kFolderFailed;
    else
      m_state = m_writer.Open(m_path.c_str()) ? State::kWriting : State::kFileFailed;
  }
  if (m_state == State::kWriting && !m_writer.Write(data, size)) m_state = State::kFileFailed;
  return true;
}

void CCardFileSink::FinalDigest(unsigned char (&digest)[16]) {
  m_md5.Final();
  std::memcpy(digest, m_md5.digest, 16);
}

bool CCardFileSink::Commit() {
  if (m_state != State::kWriting) {
    m_writer.Abort();
    return false;
  }
  return m_writer.Commit();
}
