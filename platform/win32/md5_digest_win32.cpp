#include "platform/md5_digest.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>

namespace {
// The MD5 provider, opened once for the process; its hash objects may be
// used on any thread. Null when the system has none.
BCRYPT_ALG_HANDLE Md5Provider() {
  static const BCRYPT_ALG_HANDLE provider = [] {
    BCRYPT_ALG_HANDLE handle = nullptr;
    return BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle, BCRYPT_MD5_ALGORITHM, nullptr, 0)) ? handle
                                                                                                  : nullptr;
  }();
  return provider;
}

void EndHash(void*& hash) {
  if (hash) BCryptDestroyHash(hash);
  hash = nullptr;
}

// BCryptHashData takes a ULONG count: larger inputs go in pieces of this.
constexpr std::size_t kLargestPiece = 1u << 30;
}  // namespace

CMd5Digest::~CMd5Digest() { EndHash(m_hash); }

bool CMd5Digest::Start() {
  EndHash(m_hash);
  const BCRYPT_ALG_HANDLE provider = Md5Provider();
  BCRYPT_HASH_HANDLE hash = nullptr;
  // No object buffer: CNG allocates the hash object and frees it with the handle.
  if (!provider || !BCRYPT_SUCCESS(BCryptCreateHash(provider, &hash, nullptr, 0, nullptr, 0, 0))) return false;
  m_hash = hash;
  return true;
}

bool CMd5Digest::Add(const void* data, std::size_t size) {
  // CNG only reads the bytes; its signature lacks the const.
  auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
  while (m_hash && size > 0) {
    const std::size_t piece = size < kLargestPiece ? size : kLargestPiece;
    if (!BCRYPT_SUCCESS(BCryptHashData(m_hash, bytes, static_cast<ULONG>(piece), 0))) EndHash(m_hash);
    bytes += piece;
    size -= piece;
  }
  return m_hash != nullptr;
}

bool CMd5Digest::Finish(unsigned char (&digest)[kMd5DigestBytes]) {
  if (!m_hash) return false;
  unsigned char result[kMd5DigestBytes];
  const bool finished = BCRYPT_SUCCESS(BCryptFinishHash(m_hash, result, sizeof result, 0));
  EndHash(m_hash);
  if (finished) std::memcpy(digest, result, sizeof digest);
  return finished;
}
