// The registration form's rules for what its fields hold: the postal code
// as it is sent, and what counts as an e-mail address.
#pragma once

#include "framework/cstring.h"

// The postal code's longest text as sent, and as typed with its hyphen
// ("123-4567").
constexpr int kPostalCodeChars = 7;
constexpr int kTypedPostalCodeChars = kPostalCodeChars + 1;

// The postal code as sent: what was typed without its hyphens (the ASCII
// one and those a Japanese input method gives), so that "123-4567" is sent
// as its seven digits.
CString PostalCodeToSend(const CString& typed);

// True when the text has an "@" with something before and after it: the
// success message sends the user to that mailbox.
bool LooksLikeEmailAddress(const CString& text);
