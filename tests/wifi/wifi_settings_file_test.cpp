// The settings record, its file and the MAC text, on real files in a card
// folder.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <cstring>
#include <filesystem>

#include "platform/files.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_card.h"
#include "tests/wifi/settings_image.h"
#include "wifi/ip_address.h"
#include "wifi/wifi_settings_file.h"

using namespace wifi_test;
using testing_support::TempCard;

namespace {
const char kSerial[] = "A12345678";

std::string BytesOf(const WiFiSettings& record) {
  unsigned char bytes[kWiFiRecordBytes];
  EncodeWiFiSettings(record, bytes);
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

WiFiSettings Load() {
  WiFiSettings record;
  std::memset(&record, 0xAA, sizeof record);
  LoadWiFiSettings(record, kSerial);
  return record;
}

int ReadBytes(const TempCard& card, const std::string& file, WiFiSettings& record) {
  card.Write("wifi/wifisettings.dat", file);
  return ReadWiFiSettings(fopenUtf8("wifi/wifisettings.dat", "rb"), record);
}

// A record with every field set and bytes left after a terminator.
std::string SampleRecord() {
  std::string record = ZeroRecord();
  PutU32(record, kMode, 1);
  PutText(record, kStandaloneSsid, "Standalone-Net");
  PutText(record, kStandalonePassword, "first pass");
  PutU32(record, kStandaloneSecurity, 1);
  PutText(record, kClientSsid, "Workshop");
  record[kClientSsid + 20] = 'x';  // after the terminator
  PutText(record, kClientPassword, "second\xE9pass");
  PutU32(record, kClientSecurity, 2);
  PutU32(record, kClientIpMode, 1);
  PutU32(record, kClientIpAddress, 0xC0A8000A);
  PutU32(record, kReserved, 0xDEADBEEF);
  return record;
}
}  // namespace

TEST(WiFiSettingsRecord, DefaultsNameTheStandaloneNetworkAfterTheSerial) {
  WiFiSettings record;
  std::memset(&record, 0x55, sizeof record);
  SetDefaultWiFiSettings(record, kSerial);
  EXPECT_EQ(BytesOf(record), DefaultRecord(kSerial));

  // Only the first 20 bytes of a longer serial, which need not be terminated.
  const char longSerial[24] = "ABCDEFGHIJKLMNOPQRSTUVW";
  SetDefaultWiFiSettings(record, longSerial);
  EXPECT_EQ(BytesOf(record), DefaultRecord("ABCDEFGHIJKLMNOPQRST"));
}

TEST(WiFiSettingsRecord, TextFieldsHoldOneBytePerCharacterUpTo64) {
  WiFiSettings record = {};
  std::memset(record.szClientSsid, 'z', sizeof record.szClientSsid);
  StoreTextField(record.szClientSsid, L"Caf\u00E9");
  EXPECT_EQ(TextOfField(record.szClientSsid), CString(L"Caf\u00E9"));
  EXPECT_EQ(static_cast<unsigned char>(record.szClientSsid[3]), 0xE9);
  EXPECT_EQ(record.szClientSsid[5], 'z');  // after the terminator: kept

  const CString longText(L'n', 70);
  StoreTextField(record.szClientSsid, longText);
  EXPECT_EQ(TextOfField(record.szClientSsid), CString(L'n', 64));  // no terminator, stops at 64
  EXPECT_EQ(record.szClientPassword[0], '\0');

  EXPECT_TRUE(IsStorableText(L"Caf\u00E9 \u00FF"));
  EXPECT_FALSE(IsStorableText(L"\u6771\u4EAC"));
  EXPECT_FALSE(IsStorableText(L"pass\u20AC"));
  EXPECT_TRUE(IsStorableText(CString(L'n', 64) + L"\u6771"));  // beyond the field: cut anyway
}

TEST(WiFiSettingsFile, ReadResultsForMissingShortAndCorruptFiles) {
  TempCard card;
  WiFiSettings record;
  EXPECT_EQ(ReadWiFiSettings(nullptr, record), kReadNoStream);
  const std::string file = FileOf(SampleRecord());
  EXPECT_EQ(ReadBytes(card, file.substr(0, 100), record), kReadShortRecord);
  EXPECT_EQ(ReadBytes(card, file.substr(0, 283), record), kReadNoChecksum);
  std::string bad = file;
  bad[283] ^= 1;
  EXPECT_EQ(ReadBytes(card, bad, record), kReadBadChecksum);
  EXPECT_EQ(ReadBytes(card, file, record), kReadOk);
  EXPECT_EQ(ReadBytes(card, file + "trailing bytes", record), kReadOk);
}

TEST(WiFiSettingsFile, ValidFileLoadsUnchangedWithOrWithoutTrailingBytes) {
  TempCard card;
  card.Write("wifi/wifisettings.dat", FileOf(SampleRecord()));
  const WiFiSettings loaded = Load();
  EXPECT_EQ(BytesOf(loaded), SampleRecord());
  EXPECT_EQ(loaded.dwClientIpAddress, 0xC0A8000Au);  // 192.168.0.10, bytes 0A 00 A8 C0
  EXPECT_EQ(TextOfField(loaded.szClientPassword), CString(L"second\u00E9pass"));
  card.Write("wifi/wifisettings.dat", FileOf(SampleRecord()) + std::string(50, '\x7F'));
  EXPECT_EQ(BytesOf(Load()), SampleRecord());
}

TEST(WiFiSettingsFile, AnyChangedRecordByteOrShortFileLoadsTheDefaults) {
  TempCard card;
  const std::string file = FileOf(SampleRecord());
  for (size_t at = 0; at < kRecordSize; ++at) {
    std::string changed = file;
    changed[at] = static_cast<char>(changed[at] ^ 0x20);
    card.Write("wifi/wifisettings.dat", changed);
    ASSERT_EQ(BytesOf(Load()), DefaultRecord(kSerial)) << "byte " << at;
  }
  for (size_t size : {0, 100, 280, 283}) {
    card.Write("wifi/wifisettings.dat", file.substr(0, size));
    EXPECT_EQ(BytesOf(Load()), DefaultRecord(kSerial)) << size << " bytes";
  }
}

TEST(WiFiSettingsFile, LoadingTrimsLineEndsAndReadsAFull64ByteField) {
  TempCard card;
  std::string record = ZeroRecord();
  PutText(record, kStandaloneSsid, "Office\r\n");
  PutText(record, kStandalonePassword, std::string(64, 'p'));  // no terminator
  PutText(record, kClientSsid, "Lab\n");
  card.Write("wifi/wifisettings.dat", FileOf(record));
  WiFiSettings loaded = Load();
  EXPECT_EQ(TextOfField(loaded.szStandaloneSsid), CString(L"Office"));
  EXPECT_EQ(TextOfField(loaded.szStandalonePassword), CString(L'p', 64));
  EXPECT_EQ(TextOfField(loaded.szClientSsid), CString(L"Lab"));
}

TEST(WiFiSettingsFile, WithoutTheWifiFolderDefaultsLoadAndSavingFails) {
  TempCard card;
  const WiFiSettings loaded = Load();
  EXPECT_EQ(BytesOf(loaded), DefaultRecord(kSerial));
  EXPECT_EQ(TextOfField(loaded.szStandaloneSsid), CString(L"QXM-X-A12345678"));
  EXPECT_FALSE(WriteWiFiSettings(loaded));
  EXPECT_FALSE(std::filesystem::exists("wifi"));
}

TEST(WiFiSettingsFile, SavedFileIsTheRecordAndItsChecksumAndReadsBack) {
  TempCard card;
  std::filesystem::create_directory("wifi");
  WiFiSettings zero = {};
  EXPECT_EQ(ComputeSettingsChecksum(zero, kSettingsChecksumSeed), 0x6B3F5405u);
  ASSERT_TRUE(WriteWiFiSettings(zero));
  EXPECT_EQ(card.Read("wifi/wifisettings.dat"), ZeroRecord() + std::string("\x05\x54\x3F\x6B", 4));

  WiFiSettings record;
  ASSERT_EQ(ReadBytes(card, FileOf(SampleRecord()), record), kReadOk);
  card.Write("wifi/wifisettings.dat", std::string(400, 'o'));  // older, longer content
  ASSERT_TRUE(WriteWiFiSettings(record));
  EXPECT_EQ(card.Read("wifi/wifisettings.dat"), FileOf(SampleRecord()));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("wifi"), {}), 1);
}

#ifndef _WIN32  // a full card is a file size limit (RLIMIT_FSIZE), which Windows lacks
TEST(WiFiSettingsFile, AFailedWriteKeepsThePreviousFile) {
  TempCard card;
  const std::string previous = FileOf(SampleRecord());
  card.Write("wifi/wifisettings.dat", previous);
  WiFiSettings record = {};

  // The card fills up after 100 bytes of the new file.
  bool saved = false;
  {
    testing_support::FileSizeLimit full(100);
    ASSERT_TRUE(full.IsSet());
    saved = WriteWiFiSettings(record);
  }

  EXPECT_FALSE(saved);
  EXPECT_EQ(card.Read("wifi/wifisettings.dat"), previous);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("wifi"), {}), 1);
}
#endif

#ifndef _WIN32  // POSIX links: on Windows a link is a reparse point, refused by the same code
TEST(WiFiSettingsFile, SavingNeverWritesThroughALinkLeftAtTheTemporaryName) {
  TempCard card;
  TempCard outside;  // now the current directory; go back to the card
  std::filesystem::current_path(card.Path());
  outside.Write("victim.txt", "outside the card");
  std::filesystem::create_directory("wifi");
  std::filesystem::create_symlink(outside.Path() + "/victim.txt", "wifi/wifisettings.tmp");

  WiFiSettings zero = {};
  ASSERT_TRUE(WriteWiFiSettings(zero));
  EXPECT_EQ(outside.Read("victim.txt"), "outside the card");
  EXPECT_EQ(card.Read("wifi/wifisettings.dat"), FileOf(ZeroRecord()));
}
#endif

TEST(WiFiIpAddress, FormatsAndParsesDottedAddresses) {
  EXPECT_EQ(FormatIpAddress(0xC0A8000A), CString(L"192.168.0.10"));
  EXPECT_EQ(FormatIpAddress(0), CString(L"0.0.0.0"));
  EXPECT_EQ(FormatIpAddress(0xFFFFFFFF), CString(L"255.255.255.255"));

  std::uint32_t value = 7;
  EXPECT_EQ(ParseIpAddress(L"192.168.0.10", value), 0);
  EXPECT_EQ(value, 0xC0A8000Au);
  EXPECT_EQ(ParseIpAddress(L"10.0.0.1abc", value), 0);
  EXPECT_EQ(value, 0x0A000001u);
  EXPECT_EQ(ParseIpAddress(L" 10. +1.\t2.-0", value), 0);
  EXPECT_EQ(value, 0x0A010200u);
}

TEST(WiFiIpAddress, RefusesEmptyIncompleteAndOutOfRangeTextAndKeepsTheValue) {
  std::uint32_t value = 0x01020304;
  EXPECT_EQ(ParseIpAddress(L"", value), kIpEmpty);
  for (const wchar_t* text : {L"192.168.0", L"abc", L"1..2.3.4", L"1.2.3.", L"1 .2.3.4",
                              L"1.2.3.300", L"256.0.0.1", L"-1.0.0.0", L"1.2.3.99999999999999"})
    EXPECT_EQ(ParseIpAddress(text, value), kIpInvalid) << text;
  EXPECT_EQ(value, 0x01020304u);
}

TEST(WiFiMacAddress, ShowsTheFirstLineUpTo19CharactersWithItsLineEnd) {
  TempCard card;
  EXPECT_EQ(ReadMacAddressText(), CString());  // no file
  card.Write("wifi/mac.txt", "");
  EXPECT_EQ(ReadMacAddressText(), CString());
  card.Write("wifi/mac.txt", "00:1A:2B:3C:4D:5E\r\nsecond line\r\n");
  EXPECT_EQ(ReadMacAddressText(), CString(L"00:1A:2B:3C:4D:5E\n"));
  card.Write("wifi/mac.txt", "00-1A-2B-3C-4D-5E-6F-70\n");
  EXPECT_EQ(ReadMacAddressText(), CString(L"00-1A-2B-3C-4D-5E-6"));
  card.Write("wifi/mac.txt", " 00:1a\xB5");
  EXPECT_EQ(ReadMacAddressText(), CString(L" 00:1a\u00B5"));
}
