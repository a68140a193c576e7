// MD5 (RFC 1321) over memory and over whole files: the update compares card
// files with the server's list by this digest and records it in "ver.dat".
#pragma once

#include <cstddef>
#include <cstdint>

class CMd5 {
 public:
  void Init();
  void Update(const unsigned char* data, std::size_t length);
  // Pads, appends the bit count, writes digest and clears the working fields.
  void Final();
  // The compression function over one 64-byte block.
  void Transform(const unsigned char block[64]);

  std::uint32_t state[4] = {};
  std::uint32_t count[2] = {};  // input bits so far, low word first
  unsigned char buffer[64] = {};
  unsigned char digest[16] = {};
};

// The digest of a file (UTF-8 path, card-relative or absolute). False when the
// file cannot be opened or read; digest is then left as it was.
bool Md5OfFile(const char* path, unsigned char digest[16]);
