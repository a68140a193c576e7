#include "update/version_file.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <unordered_set>

#include "platform/files.h"
#include "platform/card_file_writer.h"

namespace {
std::string_view NameOf(const char (&name)[248]) {
  const void* end = std::memchr(name, '\0', sizeof name);
  return std::string_view(name, end ? static_cast<const char*>(end) - name : sizeof name);
}
}  // namespace

bool CVersionFile::Open(const std::vector<UpdateFileEntry>& list, const char* path) {
  Close();
  std::FILE* file = fopenRegularUtf8(path, "rb");
  if (!file) return false;
  bool ok = true;
  try {
    std::unordered_set<std::string_view> wanted;
    for (const UpdateFileEntry& entry : list) wanted.insert(NameOf(entry.szName));
    UpdateFileEntry record;
    while (std::fread(&record, sizeof record, 1, file) == 1) {
      const std::string_view name = NameOf(record.szName);
      if (!wanted.count(name) || m_firstByName.count(name)) continue;
      m_records.push_back(record);
      m_firstByName.emplace(NameOf(m_records.back().szName), &m_records.back());
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
  return found == m_firstByName.end() ? nullptr : found->second;
}

bool WriteVersionFile(const std::vector<UpdateFileEntry>& list, const char* path) {
  return WriteCardFile(path, list.data(), list.size() * kEntrySize);
}
