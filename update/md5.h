// MD5 (RFC 1321) over memory and over whole files: the update compares card
// files with the server's list by this digest and records it in "ver.dat".
// The digest itself is the system's (platform/md5_digest.h).
#pragma once

#include <cstddef>

#include "platform/md5_digest.h"

class CMd5 {
 public:
  // Starts over with no bytes.
  void Init();
  void Update(const unsigned char* data, std::size_t length);
  // Writes digest. False when the system's library failed at any step since
  // Init (it had no memory, or has MD5 switched off); digest is then left as
  // it was.
  bool Final();

  unsigned char digest[kMd5DigestBytes] = {};

 private:
  CMd5Digest m_context;
};

// The digest of a file (UTF-8 path, card-relative or absolute). False when
// the file cannot be opened or read, or cannot be digested; digest is then
// left as it was.
bool Md5OfFile(const char* path, unsigned char digest[kMd5DigestBytes]);
