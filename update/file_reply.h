// The body of a "/script/get.php" answer as it arrives: the two bytes "BF",
// then the file's content.
#pragma once

#include <cstddef>

#include "net/http_session.h"
#include "update/card_file_sink.h"

// The bytes of "BF" in front of the file's content.
constexpr std::size_t kReplyPrefixBytes = 2;

// Hands the content on to a card file only after a whole "BF"; a body that
// begins otherwise is taken (the transfer runs to its end, so its length is
// known) but written nowhere.
class CFileReplySink : public CHttpBodySink {
 public:
  explicit CFileReplySink(CCardFileSink& file) : m_file(file) {}

  bool Write(const unsigned char* data, std::size_t size) override;
  // The body began with "BF".
  bool HasPrefix() const {
    return m_nPrefix == kReplyPrefixBytes && m_prefix[0] == 'B' && m_prefix[1] == 'F';
  }

 private:
  CCardFileSink& m_file;
  unsigned char m_prefix[kReplyPrefixBytes] = {};
  std::size_t m_nPrefix = 0;
};
