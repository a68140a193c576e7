// "ver.dat" as a card could hold it, read from a real file: every record
// that has a name must be found by that name, as the first one holding it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "fuzz/fuzz_temp_dir.h"
#include "update/version_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnterFuzzTempDir();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteFuzzFile(kVersionFileName, data, size);
  std::unordered_map<std::string, const std::uint8_t*> first;
  std::vector<UpdateFileEntry> list;  // every record's name is listed
  for (std::size_t offset = 0; offset + kEntrySize <= size; offset += kEntrySize) {
    const char* name = reinterpret_cast<const char*>(data + offset);
    const std::string key(name, strnlen(name, sizeof(UpdateFileEntry::szName)));
    first.emplace(key, data + offset);
    list.emplace_back();
    std::memcpy(&list.back(), data + offset, kEntrySize);
  }
  CVersionFile versionFile;
  if (!versionFile.Open(list)) std::abort();  // the file is there and readable
  for (const auto& [key, record] : first) {
    if (key.size() == sizeof(UpdateFileEntry::szName)) continue;  // no lookup can name it
    const UpdateFileEntry* found = versionFile.Find(key.c_str());
    if (!found || std::memcmp(found, record, kEntrySize) != 0) std::abort();
  }
  (void)versionFile.Find("Support\\updater\\koral70.exe");
  return 0;
}
