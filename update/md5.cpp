#include "update/md5.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files.h"

namespace {
// Reads of this size stream any file through a fixed, small buffer.
constexpr std::size_t kReadBlock = 64 * 1024;
}  // namespace

void CMd5::Init() { m_context.Start(); }

// A failure here ends the digest under way, so Final reports it.
void CMd5::Update(const unsigned char* data, std::size_t length) { m_context.Add(data, length); }

bool CMd5::Final() { return m_context.Finish(digest); }

bool Md5OfFile(const char* path, unsigned char digest[kMd5DigestBytes]) {
  // Opened for reading only; POSIX has no deny-write sharing, so a file that
  // another process is writing is digested as it stands at each read.
  std::FILE* file = fopenRegularUtf8(path, "rb");
  if (!file) return false;
  std::vector<unsigned char> block(kReadBlock);
  CMd5 md5;
  md5.Init();
  std::size_t n;
  while ((n = std::fread(block.data(), 1, block.size(), file)) > 0) md5.Update(block.data(), n);
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);
  if (readError || !md5.Final()) return false;
  std::memcpy(digest, md5.digest, kMd5DigestBytes);
  return true;
}
