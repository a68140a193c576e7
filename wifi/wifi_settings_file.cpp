#include "wifi/wifi_settings_file.h"

#include "platform/card_file_writer.h"
#include "platform/files.h"

const char kWiFiSettingsPath[] = "wifi/wifisettings.dat";
const char kMacAddressPath[] = "wifi/mac.txt";

namespace {
constexpr int kMacTextChars = 19;

void PutU32(unsigned char* bytes, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint32_t GetU32(const unsigned char* bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  return v;
}

int ReadOpenStream(std::FILE* stream, WiFiSettings& record) {
  unsigned char bytes[kWiFiRecordBytes];
  if (std::fread(bytes, 1, sizeof bytes, stream) != sizeof bytes) return kReadShortRecord;
  DecodeWiFiSettings(bytes, record);
  unsigned char checksum[4];
  if (std::fread(checksum, 1, sizeof checksum, stream) != sizeof checksum) return kReadNoChecksum;
  if (GetU32(checksum) != ComputeSettingsChecksum(record, kSettingsChecksumSeed))
    return kReadBadChecksum;
  return kReadOk;
}
}  // namespace

int ReadWiFiSettings(std::FILE* stream, WiFiSettings& record) {
  if (!stream) return kReadNoStream;
  const int result = ReadOpenStream(stream, record);
  std::fclose(stream);
  return result;
}

void LoadWiFiSettings(WiFiSettings& record, const char* serial) {
  std::FILE* stream = fopenRegularUtf8(kWiFiSettingsPath, "rb");
  if (!stream) {
    SetDefaultWiFiSettings(record, serial);
    return;
  }
  if (ReadWiFiSettings(stream, record) != kReadOk) SetDefaultWiFiSettings(record, serial);
  TrimAtLineEnd(record.szStandaloneSsid);
  TrimAtLineEnd(record.szStandalonePassword);
  TrimAtLineEnd(record.szClientSsid);
  TrimAtLineEnd(record.szClientPassword);
}

bool WriteWiFiSettings(const WiFiSettings& record) {
  unsigned char bytes[kWiFiRecordBytes];
  EncodeWiFiSettings(record, bytes);
  unsigned char checksum[4];
  PutU32(checksum, ComputeSettingsChecksum(record, kSettingsChecksumSeed));
  // A save cut short by a kill left its temporary file beside the settings.
  RemoveCardTemporaries("wifi");
  CCardFileWriter file;
  return file.Open(kWiFiSettingsPath) && file.Write(bytes, sizeof bytes) &&
         file.Write(checksum, sizeof checksum) && file.Commit();
}

CString ReadMacAddressText() {
  std::FILE* file = fopenRegularUtf8(kMacAddressPath, "rb");
  if (!file) return CString();
  std::wstring text;
  while (text.size() < static_cast<size_t>(kMacTextChars)) {
    int ch = std::fgetc(file);
    if (ch == '\r') {
      const int next = std::fgetc(file);
      if (next == '\n')
        ch = '\n';
      else if (next != EOF)
        std::ungetc(next, file);
    }
    if (ch == EOF || ch == '\0') break;
    text += static_cast<wchar_t>(ch);
    if (ch == '\n') break;
  }
  std::fclose(file);
  return CString(std::move(text));
}
