#include "wifi/wifi_settings.h"

#include <cstring>

namespace {
// Little-endian field writers and readers over the record's byte image.
class ByteWriter {
 public:
  explicit ByteWriter(unsigned char* bytes) : m_p(bytes) {}
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) *m_p++ = static_cast<unsigned char>(v >> (8 * i));
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void Text(const char (&field)[kWiFiTextBytes]) {
    std::memcpy(m_p, field, kWiFiTextBytes);
    m_p += kWiFiTextBytes;
  }

 private:
  unsigned char* m_p;
};

class ByteReader {
 public:
  explicit ByteReader(const unsigned char* bytes) : m_p(bytes) {}
  std::uint32_t U32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(*m_p++) << (8 * i);
    return v;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  void Text(char (&field)[kWiFiTextBytes]) {
    std::memcpy(field, m_p, kWiFiTextBytes);
    m_p += kWiFiTextBytes;
  }

 private:
  const unsigned char* m_p;
};

void CutAt(char (&field)[kWiFiTextBytes], char ch) {
  if (void* at = std::memchr(field, ch, kWiFiTextBytes)) *static_cast<char*>(at) = '\0';
}
}  // namespace

void EncodeWiFiSettings(const WiFiSettings& record, unsigned char (&bytes)[kWiFiRecordBytes]) {
  ByteWriter out(bytes);
  out.I32(record.nMode);
  out.Text(record.szStandaloneSsid);
  out.Text(record.szStandalonePassword);
  out.I32(record.nStandaloneSecurity);
  out.Text(record.szClientSsid);
  out.Text(record.szClientPassword);
  out.I32(record.nClientSecurity);
  out.I32(record.nClientIpMode);
  out.U32(record.dwClientIpAddress);
  out.U32(record.dwReserved);
}

void DecodeWiFiSettings(const unsigned char (&bytes)[kWiFiRecordBytes], WiFiSettings& record) {
  ByteReader in(bytes);
  record.nMode = in.I32();
  in.Text(record.szStandaloneSsid);
  in.Text(record.szStandalonePassword);
  record.nStandaloneSecurity = in.I32();
  in.Text(record.szClientSsid);
  in.Text(record.szClientPassword);
  record.nClientSecurity = in.I32();
  record.nClientIpMode = in.I32();
  record.dwClientIpAddress = in.U32();
  record.dwReserved = in.U32();
}

std::uint32_t ComputeSettingsChecksum(const WiFiSettings& record, std::uint32_t seed) {
  unsigned char bytes[kWiFiRecordBytes];
  EncodeWiFiSettings(record, bytes);
  std::uint32_t h = seed;
  for (unsigned char b : bytes) h = h * 33 + b;
  return h;
}

void SetDefaultWiFiSettings(WiFiSettings& record, const char* serial) {
  std::memset(&record, 0, sizeof record);
  record.nMode = kModeStandalone;
  record.nStandaloneSecurity = kSecurityOpen;
  static const char kPrefix[] = "QXM-X-";
  const std::size_t prefix = sizeof kPrefix - 1;
  std::memcpy(record.szStandaloneSsid, kPrefix, prefix);
  if (serial)
    std::memcpy(record.szStandaloneSsid + prefix, serial, strnlen(serial, kWiFiSerialBytes));
}

void TrimAtLineEnd(char (&field)[kWiFiTextBytes]) {
  CutAt(field, '\r');
  CutAt(field, '\n');
}

CString TextOfField(const char (&field)[kWiFiTextBytes]) {
  std::wstring text;
  for (std::size_t i = 0; i < kWiFiTextBytes && field[i] != '\0'; ++i)
    text += static_cast<wchar_t>(static_cast<unsigned char>(field[i]));
  return CString(std::move(text));
}

void StoreTextField(char (&field)[kWiFiTextBytes], const CString& text) {
  const std::size_t length = static_cast<std::size_t>(text.GetLength());
  const std::size_t stored = length < kWiFiTextBytes ? length : kWiFiTextBytes;
  for (std::size_t i = 0; i < stored; ++i)
    field[i] = static_cast<char>(static_cast<unsigned char>(text[static_cast<int>(i)]));
  if (stored < kWiFiTextBytes) field[stored] = '\0';
}

bool IsStorableText(const CString& text) {
  const std::wstring& chars = text.str();
  for (std::size_t i = 0; i < chars.size() && i < kWiFiTextBytes; ++i)
    if (chars[i] < 0x01 || chars[i] > 0xFF) return false;
  return true;
}
