#include "platform/md5_digest.h"

#include <openssl/evp.h>

#include <cstring>

CMd5Digest::~CMd5Digest() { EVP_MD_CTX_free(m_context); }

bool CMd5Digest::Start() {
  if (!m_context) m_context = EVP_MD_CTX_new();
  m_bStarted = m_context && EVP_DigestInit_ex(m_context, EVP_md5(), nullptr) == 1;
  return m_bStarted;
}

bool CMd5Digest::Add(const void* data, std::size_t size) {
  m_bStarted = m_bStarted && EVP_DigestUpdate(m_context, data, size) == 1;
  return m_bStarted;
}

bool CMd5Digest::Finish(unsigned char (&digest)[kMd5DigestBytes]) {
  if (!m_bStarted) return false;
  m_bStarted = false;
  unsigned char result[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(m_context, result, &length) != 1 || length != sizeof digest) return false;
  std::memcpy(digest, result, sizeof digest);
  return true;
}
