#include "update/file_reply.h"

bool CFileReplySink::Write(const unsigned char* data, std::size_t size) {
  // The prefix may arrive split over chunks.
  while (m_nPrefix < kReplyPrefixBytes && size > 0) {
    m_prefix[m_nPrefix++] = *data++;
    --size;
  }
  if (size == 0 || !HasPrefix()) return true;
  return m_file.Write(data, size);
}
