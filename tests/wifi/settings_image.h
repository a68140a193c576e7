// Settings files assembled byte by byte at their documented offsets, to
// compare what the program reads and writes against.
#pragma once

#include <cstdint>
#include <string>

namespace wifi_test {

constexpr size_t kMode = 0, kStandaloneSsid = 4, kStandalonePassword = 68,
                 kStandaloneSecurity = 132, kClientSsid = 136, kClientPassword = 200,
                 kClientSecurity = 264, kClientIpMode = 268, kClientIpAddress = 272,
                 kReserved = 276, kRecordSize = 280;

inline std::string ZeroRecord() { return std::string(kRecordSize, '\0'); }

// Text and its NUL when shorter than the 64-byte field.
inline void PutText(std::string& record, size_t offset, const std::string& text) {
  record.replace(offset, text.size(), text);
  if (text.size() < 64) record[offset + text.size()] = '\0';
}

inline void PutU32(std::string& record, size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::uint32_t Djb2(const std::string& bytes) {
  std::uint32_t h = 5381;
  for (unsigned char b : bytes) h = h * 33 + b;
  return h;
}

// The whole file: the record and its checksum.
inline std::string FileOf(const std::string& record) {
  std::string file = record + std::string(4, '\0');
  PutU32(file, kRecordSize, Djb2(record));
  return file;
}

// What the defaults are for a serial number.
inline std::string DefaultRecord(const std::string& serial) {
  std::string record = ZeroRecord();
  PutText(record, kStandaloneSsid, "QXM-X-" + serial);
  return record;
}

}  // namespace wifi_test
