#include "update/version_file.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "platform/files.h"
#include "platform/card_file_writer.h"

namespace {
std::string NameOf(const char (&name)[248]) {
  const void* end = std::memchr(name, '\0', sizeof name);
  return std::string(name, end ? static_cast<const char*>(end) - name : sizeof name);
}
}  // namespace

bool CVersionFile::Open(const char* path) {
  Close();
  std::FILE* file = fopenRegularUtf8(path, "rb");
  if (!file) return false;
  bool ok = true;
  try {
    UpdateFileEntry record;
    while (std::fread(&record, sizeof record, 1, file) == 1) {
      m_records.push_back(record);
      m_firstByName.emplace(NameOf(record.szName), m_records.size() - 1);
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  ok = ok && !std::ferror(file);
  std::fclose(file);
  if (!ok) {
    Close();
    return false;
  }
  m_bOpen = true;
  return true;
}

void CVersionFile::Close() {
  m_bOpen = false;
  m_records.clear();
  m_firstByName.clear();
}

const UpdateFileEntry* CVersionFile::Find(const char* name) const {
  if (!m_bOpen) return nullptr;
  const auto found = m_firstByName.find(name);
  return found == m_firstByName.end() ? nullptr : &m_records[found->second];
}

bool WriteVersionFile(const std::vector<UpdateFileEntry>& list, const char* path) {
  return WriteCardFile(path, list.data(), list.size() * kEntrySize);
}
