// "pass.ini" as a card could hold it, read through the same stream parser
// that reads the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "update/credentials.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;  // a memory stream needs one byte; an empty file reads nothing
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
  if (!file) return 0;
  CString serial, password;
  ReadCredentials(file, serial, password);
  std::fclose(file);
  // The dialog's fields hold at most 9 and 19 characters, line ends stripped.
  if (serial.GetLength() > 9 || password.GetLength() > 19) std::abort();
  for (const CString* value : {&serial, &password}) {
    const int n = value->GetLength();
    if (n > 0 && ((*value)[n - 1] == L'\n')) std::abort();
  }
  return 0;
}
