// The card's Wi-Fi files: "wifi/wifisettings.dat" (the 280-byte record and
// its 4-byte checksum) and "wifi/mac.txt" (the tool's MAC address, shown
// only). Both are relative to the current directory, the card's root.
#pragma once

#include <cstdio>

#include "wifi/wifi_settings.h"

extern const char kWiFiSettingsPath[];  // "wifi/wifisettings.dat"
extern const char kMacAddressPath[];    // "wifi/mac.txt"

// Results of ReadWiFiSettings.
constexpr int kReadOk = 0;
constexpr int kReadNoStream = -1;
constexpr int kReadShortRecord = -2;
constexpr int kReadNoChecksum = -3;
constexpr int kReadBadChecksum = -4;

// Reads the record and its checksum from a stream opened for binary reading
// (or null) and closes the stream. Bytes after the checksum are ignored. On
// a negative result the record may hold partly read data.
int ReadWiFiSettings(std::FILE* stream, WiFiSettings& record);

// Loads the settings file into the record: the defaults (with serial, as
// SetDefaultWiFiSettings takes it) when the file is missing, short or
// corrupt, and line ends trimmed from the text fields when it was opened.
void LoadWiFiSettings(WiFiSettings& record, const char* serial);

// Writes the settings file: the record and its checksum go to a temporary
// file in "wifi", which then replaces the settings file, so a failed save
// keeps the previous file. Fails when "wifi" is missing.
bool WriteWiFiSettings(const WiFiSettings& record);

// The first line of "wifi/mac.txt", at most 19 characters, one per byte,
// CR LF read as LF and the line end kept; empty when the file cannot be
// opened or is empty.
CString ReadMacAddressText();
