// "wifi/wifisettings.dat" and "wifi/mac.txt" as a card could hold them, read
// from real files the way the Wi-Fi dialog loads them. Inputs whose first
// byte is odd get a correct checksum, so that most of them load as stored.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "fuzz/fuzz_temp_dir.h"
#include "wifi/wifi_settings_file.h"

namespace {
// Longer than the 20 bytes the default network name takes of it.
const char kSerial[] = "1234567890123456789012345";

void FixChecksum(std::vector<unsigned char>& bytes) {
  unsigned char record[kWiFiRecordBytes];
  std::memcpy(record, bytes.data(), sizeof record);
  WiFiSettings decoded;
  DecodeWiFiSettings(record, decoded);
  const std::uint32_t sum = ComputeSettingsChecksum(decoded, kSettingsChecksumSeed);
  for (int i = 0; i < 4; ++i) bytes[kWiFiRecordBytes + i] = static_cast<unsigned char>(sum >> (8 * i));
}

void CheckField(const char (&field)[kWiFiTextBytes]) {
  const CString text = TextOfField(field);
  if (text.GetLength() > static_cast<int>(kWiFiTextBytes)) std::abort();
  for (int i = 0; i < text.GetLength(); ++i)
    if (text[i] == L'\r' || text[i] == L'\n' || text[i] == 0 || text[i] > 0xFF) std::abort();
  // What the dialog shows can be stored back unchanged.
  if (!IsStorableText(text)) std::abort();
  char stored[kWiFiTextBytes];
  std::memcpy(stored, field, sizeof stored);
  StoreTextField(stored, text);
  if (std::memcmp(stored, field, sizeof stored) != 0) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnterFuzzTempDir();
  std::filesystem::create_directory("wifi");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<unsigned char> bytes(data, data + size);
  if (size >= kWiFiRecordBytes + 4 && (data[0] & 1)) FixChecksum(bytes);
  WriteFuzzFile(kWiFiSettingsPath, bytes.data(), bytes.size());
  WriteFuzzFile(kMacAddressPath, data, size);

  WiFiSettings record;
  LoadWiFiSettings(record, kSerial);
  CheckField(record.szStandaloneSsid);
  CheckField(record.szStandalonePassword);
  CheckField(record.szClientSsid);
  CheckField(record.szClientPassword);

  const CString mac = ReadMacAddressText();
  if (mac.GetLength() > 19) std::abort();
  return 0;
}
