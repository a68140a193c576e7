// The policy site's built-in pages and logo, served when the data folder has
// none and written by --make-demo.
#pragma once

#include <string>

namespace koral_server {

// The line a page must carry to count as the privacy policy.
inline constexpr const char* kPolicyMarker = "content=\"QX user-reg privacy policy\"";

// lang is "en" or "jp".
std::string DefaultPolicyPage(const std::string& lang);
std::string DefaultLogo();

}  // namespace koral_server
