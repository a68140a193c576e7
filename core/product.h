// The product's built-in constants, the two server addresses and the URLs
// of the update server's scripts.
#pragma once

constexpr const wchar_t* kProductName = L"KORAL70";
constexpr const char* kUserAgent = "qxm-updater/1.0";
extern const wchar_t* const kClientVersionText;  // "3.4.0", as the title shows it
extern const wchar_t* const kClientVersionWire;  // "340", as the server gets it

#include "framework/cstring.h"

// Reads the update server's and the policy site's base URLs: the build's
// constants, or KORAL70_UPDATE_URL / KORAL70_POLICY_URL when set. The program
// calls it once at start; a test calls it again after changing them.
void LoadServerAddresses();

// The base URLs as last loaded (loaded on first use when nobody did), without
// a trailing slash.
CString UpdateBaseUrl();
CString PolicyBaseUrl();

// The update server's scripts.
enum class ServerScript { kUpdate, kGet, kRegister, kManual, kLogSetDir, kLogUpload };

// The update server's base URL followed by "/script/" and the script's name.
CString ServerScriptUrl(ServerScript script);
