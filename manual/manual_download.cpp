#include "manual/manual_download.h"

#include <random>
#include <vector>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"

namespace {
constexpr int kNameAttempts = 16;
// Copies go through one block of this size.
constexpr std::size_t kCopyBlock = 256 * 1024;

std::wstring TemporaryName() {
  thread_local std::mt19937 random{std::random_device{}()};
  CString name;
  name.Format(L"koral70-manual-%08x.tmp", static_cast<unsigned>(random()));
  return name.str();
}

// Copies source from its start into target; false on a read or write error.
bool CopyAll(std::FILE* source, std::FILE* target) {
  if (std::fseek(source, 0, SEEK_SET) != 0) return false;
  std::vector<unsigned char> block(kCopyBlock);
  std::size_t n;
  while ((n = std::fread(block.data(), 1, block.size(), source)) > 0)
    if (std::fwrite(block.data(), 1, n, target) != n) return false;
  return std::ferror(source) == 0;
}
}  // namespace

CManualDownload::~CManualDownload() { Remove(); }

bool CManualDownload::Open() {
  Remove();
  wchar_t folder[260];
  const DWORD length = GetTempPathW(260, folder);
  if (length == 0 || length >= 260) return false;
  for (int attempt = 0; attempt < kNameAttempts && !m_file; ++attempt) {
    m_path = std::wstring(folder) + TemporaryName();
    // "x": never an existing file, never through a planted link.
    m_file = OpenFileW(m_path.c_str(), L"w+bx");
  }
  if (!m_file) m_path.clear();
  return m_file != nullptr;
}

bool CManualDownload::Write(const unsigned char* data, std::size_t size) {
  return m_file && std::fwrite(data, 1, size, m_file) == size;
}

bool CManualDownload::Finish() { return m_file && std::fflush(m_file) == 0; }

bool CManualDownload::SaveTo(const CString& path) {
  if (!m_file) return false;
  FILE* file = OpenFileW(path, L"wb");
  if (!file) return false;
  const bool written = CopyAll(m_file, file);
  const bool closed = std::fclose(file) == 0;
  if (written && closed) return true;
  // Only an ordinary file that we wrote is removed, never a device.
  if (FileSizeUtf8(Utf8FromWide(path.str()).c_str()) >= 0) RemoveFileW(path);
  return false;
}

void CManualDownload::Remove() {
  if (m_file) std::fclose(m_file);
  m_file = nullptr;
  if (!m_path.empty()) RemoveFileW(m_path.c_str());
  m_path.clear();
}
