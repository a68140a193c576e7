// Lets GoogleTest print CStrings readably in failure messages.
#pragma once

#include <ostream>

#include "framework/cstring.h"
#include "platform/text.h"

inline void PrintTo(const CString& text, std::ostream* out) {
  *out << '"' << Utf8FromWide(text.str()) << '"';
}
