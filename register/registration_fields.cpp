#include "register/registration_fields.h"

namespace {
bool IsHyphen(wchar_t ch) {
  // ASCII, full-width, the minus sign and the long sound mark that a
  // Japanese input method types for the hyphen key.
  return ch == L'-' || ch == L'\xFF0D' || ch == L'\x2212' || ch == L'\x30FC';
}
}  // namespace

CString PostalCodeToSend(const CString& typed) {
  CString sent;
  for (int i = 0; i < typed.GetLength(); ++i)
    if (!IsHyphen(typed[i])) sent += typed[i];
  return sent;
}

bool LooksLikeEmailAddress(const CString& text) {
  const int at = text.Find(L'@');
  return at > 0 && at < text.GetLength() - 1;
}
