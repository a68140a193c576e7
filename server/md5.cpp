#include "server/md5.h"

#include <openssl/evp.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace koral_server {

bool Md5OfFile(const std::filesystem::path& path, Md5Digest& digest) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return false;
  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return false;
  std::vector<unsigned char> buffer(64 * 1024);
  for (;;) {
    size_t n = std::fread(buffer.data(), 1, buffer.size(), file.get());
    if (n > 0 && EVP_DigestUpdate(context.get(), buffer.data(), n) != 1) return false;
    if (n < buffer.size()) break;
  }
  if (std::ferror(file.get())) return false;
  unsigned int length = 0;
  return EVP_DigestFinal_ex(context.get(), digest.data(), &length) == 1 && length == digest.size();
}

}  // namespace koral_server
