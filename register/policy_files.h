// The privacy policy's files: the folder under the user's temporary
// directory that holds the downloaded page and its logo, the marker check
// and the removal of the folder.
#pragma once

#include <cstddef>

#include "framework/cstring.h"

// The folder of the last successful view, ending in a backslash.
extern CString g_strPolicyFolder;

// The policy marker: a page is the privacy policy only when one of its lines
// holds these bytes.
constexpr const char* kPolicyMarker = "content=\"QX user-reg privacy policy\"";
// The logo's path relative to the page, on the site and on disk.
constexpr const wchar_t* kPolicyLogoFolder = L"qx-logo";
constexpr const wchar_t* kPolicyLogoName = L"qx-logo_QX_0.6.png";

// The folder name, RIVETBOX_KORAL70_3.4.0.
CString PolicyFolderName();

// Stores the page and the logo in the policy folder and opens the page in
// the browser. True when the page was stored and carries the marker, and
// either opened or, when no browser starts, its place was shown
// (kPolicyOpenFailed with kPolicySavedAs: the stored page's path and that
// Accept takes it); pagePath then names the stored page and
// g_strPolicyFolder the folder. A missing page or logo, or a folder or file
// that is a symbolic link, gives false without a message; a page without
// the marker shows kPolicyOpenFailed, gives false and leaves the files.
bool SavePolicyAndOpen(const unsigned char* page, const unsigned char* logo, size_t pageLength,
                       size_t logoLength, CString& pagePath);

// True when a line of the stored file holds the marker.
bool IsPrivacyPolicyPage(const CString& path);

// Deletes the folder with everything in it; true when it could be emptied.
// Symbolic links inside are removed themselves, never followed.
bool DeleteFolderTree(const CString& path);
