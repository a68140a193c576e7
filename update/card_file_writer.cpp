#include "update/card_file_writer.h"

#include <cstdio>
#include <string>

#include "platform/files.h"

bool WriteCardFile(const char* path, const void* data, std::size_t size) {
  const std::string temporary = std::string(path) + kPartialSuffix;
  std::FILE* file = fopenUtf8(temporary.c_str(), "wb");
  if (!file) return false;
  bool written = size == 0 || std::fwrite(data, size, 1, file) == 1;
  written = FlushToDisk(file) && written;
  written = std::fclose(file) == 0 && written;
  if (written && renameUtf8(temporary.c_str(), path) == 0) return true;
  removeUtf8(temporary.c_str());
  return false;
}
