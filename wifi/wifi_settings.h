// The scan tool's Wi-Fi settings record: two complete profiles (Standalone
// and Client), the checksum over the record, its defaults, and the text
// fields that hold one byte per character.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/afx.h"

constexpr std::size_t kWiFiTextBytes = 64;
constexpr std::size_t kWiFiRecordBytes = 280;
constexpr std::size_t kWiFiSerialBytes = 20;
constexpr std::uint32_t kSettingsChecksumSeed = 5381;

enum WiFiMode : std::int32_t { kModeStandalone = 0, kModeClient = 1 };
enum WiFiSecurity : std::int32_t { kSecurityOpen = 0, kSecurityWpa = 1, kSecurityWpa2 = 2 };
enum WiFiIpMode : std::int32_t { kIpAutomatic = 0, kIpManual = 1 };

struct WiFiSettings {
  std::int32_t nMode;
  char szStandaloneSsid[kWiFiTextBytes];
  char szStandalonePassword[kWiFiTextBytes];
  std::int32_t nStandaloneSecurity;
  char szClientSsid[kWiFiTextBytes];
  char szClientPassword[kWiFiTextBytes];
  std::int32_t nClientSecurity;
  std::int32_t nClientIpMode;
  std::uint32_t dwClientIpAddress;  // a.b.c.d as (a << 24) | (b << 16) | (c << 8) | d
  std::uint32_t dwReserved;         // carried through unchanged
};
static_assert(sizeof(WiFiSettings) == kWiFiRecordBytes, "the settings record is 280 bytes");
static_assert(offsetof(WiFiSettings, nStandaloneSecurity) == 132);
static_assert(offsetof(WiFiSettings, szClientSsid) == 136);
static_assert(offsetof(WiFiSettings, dwReserved) == 276);

// The record as the file holds it (little-endian, no padding), and back.
void EncodeWiFiSettings(const WiFiSettings& record, unsigned char (&bytes)[kWiFiRecordBytes]);
void DecodeWiFiSettings(const unsigned char (&bytes)[kWiFiRecordBytes], WiFiSettings& record);

// djb2 over the 280 record bytes, NULs included: h = h * 33 + b from seed.
std::uint32_t ComputeSettingsChecksum(const WiFiSettings& record, std::uint32_t seed);

// Zeroes the record and names the Standalone network "QXM-X-<serial>".
// serial is single-byte text of which at most 20 bytes are used; it need not
// be terminated within them.
void SetDefaultWiFiSettings(WiFiSettings& record, const char* serial);

// Puts a NUL at the first CR, then at the first LF, within the field.
void TrimAtLineEnd(char (&field)[kWiFiTextBytes]);

// A text field as text: one character per byte, up to a NUL or the 64th byte.
CString TextOfField(const char (&field)[kWiFiTextBytes]);
// Stores the first 64 characters of text, one byte each, with a NUL when
// shorter; the bytes after the NUL keep their earlier values. Only text that
// IsStorableText accepts may be stored.
void StoreTextField(char (&field)[kWiFiTextBytes], const CString& text);
// True when every character that StoreTextField would store is within
// U+0001..U+00FF, the range a field can hold.
bool IsStorableText(const CString& text);
