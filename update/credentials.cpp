#include "update/credentials.h"

#include <cstring>

#include "platform/files.h"
#include "platform/text.h"

namespace {
constexpr size_t kLineBuffer = 100;
constexpr size_t kSerialBytes = 9;
constexpr size_t kPasswordBytes = 19;

// Removes a trailing CR or LF, twice, so that CR LF and LF both go.
void StripLineEnd(char* value) {
  for (int pass = 0; pass < 2; ++pass) {
    size_t n = std::strlen(value);
    if (n > 0 && (value[n - 1] == '\r' || value[n - 1] == '\n')) value[n - 1] = '\0';
  }
}

// Cuts a UTF-8 value to at most maxBytes, back to a whole character.
void CutToWholeCharacters(char* value, size_t maxBytes) {
  size_t n = std::strlen(value);
  if (n <= maxBytes) return;
  n = maxBytes;
  while (n > 0 && (static_cast<unsigned char>(value[n]) & 0xC0) == 0x80) --n;
  value[n] = '\0';
}

CString Decode(const char* value, int wideChars) {
  wchar_t wide[20] = {};
  if (MultiByteToWideChar(CP_UTF8, 0, value, -1, wide, wideChars) == 0) return CString();
  return CString(wide);
}

// Drops the UTF-8 byte-order mark that Windows editors put at a file's start.
void SkipByteOrderMark(char* line) {
  constexpr char kMark[] = "\xEF\xBB\xBF";
  constexpr size_t kMarkBytes = sizeof kMark - 1;
  if (std::strncmp(line, kMark, kMarkBytes) == 0)
    std::memmove(line, line + kMarkBytes, std::strlen(line) - kMarkBytes + 1);
}
}  // namespace

void ReadCredentials(std::FILE* file, CString& serial, CString& password) {
  char line[kLineBuffer];
  const bool first = std::fgets(line, sizeof line, file) != nullptr;
  if (first) SkipByteOrderMark(line);
  if (first && std::strncmp(line, "serial=", 7) == 0) {
    char value[kSerialBytes + 1] = {};
    for (size_t i = 0; i < kSerialBytes && line[7 + i]; ++i) value[i] = line[7 + i];
    StripLineEnd(value);
    serial = Decode(value, kSerialBytes + 1);
  }
  if (std::fgets(line, sizeof line, file) && std::strncmp(line, "pass=", 5) == 0) {
    char* value = line + 5;
    StripLineEnd(value);
    CutToWholeCharacters(value, kPasswordBytes);
    password = Decode(value, kPasswordBytes + 1);
  }
}

bool ReadCredentialsFile(CString& serial, CString& password) {
  std::FILE* file = fopenRegularUtf8("pass.ini", "rt");
  if (!file) return false;
  ReadCredentials(file, serial, password);
  std::fclose(file);
  return true;
}
