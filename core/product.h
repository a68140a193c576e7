// The product's built-in constants and the two server addresses.
#pragma once

constexpr const wchar_t* kProductName = L"KORAL70";
constexpr const char* kUserAgent = "qxm-updater/1.0";
extern const wchar_t* const kClientVersionText;  // "3.4.0", as the title shows it
extern const wchar_t* const kClientVersionWire;  // "340", as the server gets it

#include "framework/cstring.h"

// The update server's and the policy site's base URLs without a trailing
// slash: the build's constants, or KORAL70_UPDATE_URL / KORAL70_POLICY_URL
// when set.
CString UpdateBaseUrl();
CString PolicyBaseUrl();
