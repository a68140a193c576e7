// MD5 through the system's crypto library: libcrypto's digest interface on
// POSIX, CNG (bcrypt.dll) on Windows. Both are faster than portable C, and
// neither needs a file of ours to be kept in step with RFC 1321.
#pragma once

#include <cstddef>

// An MD5 digest's length.
constexpr std::size_t kMd5DigestBytes = 16;

#ifndef _WIN32
struct evp_md_ctx_st;  // libcrypto's EVP_MD_CTX
#endif

// One digest at a time, used by one thread at a time (any thread).
class CMd5Digest {
 public:
  CMd5Digest() = default;
  ~CMd5Digest();
  CMd5Digest(const CMd5Digest&) = delete;
  CMd5Digest& operator=(const CMd5Digest&) = delete;

  // Starts a digest of no bytes, dropping one under way. False when the
  // library gives none (no memory, or MD5 switched off in its configuration).
  bool Start();
  // Adds bytes to the digest. False when none is started or the library
  // refused them: that ends the digest, so that Finish fails too.
  bool Add(const void* data, std::size_t size);
  // Writes the digest of the bytes added since Start and ends it. False when
  // none was started or the library failed; digest is then left as it was.
  bool Finish(unsigned char (&digest)[kMd5DigestBytes]);

 private:
#ifdef _WIN32
  void* m_hash = nullptr;  // BCRYPT_HASH_HANDLE while a digest is started
#else
  evp_md_ctx_st* m_context = nullptr;  // kept from one digest to the next
  bool m_bStarted = false;
#endif
};
