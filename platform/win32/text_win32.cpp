#include <windows.h>

#include "platform/text.h"

std::wstring UpperCaseName(std::wstring_view text) {
  std::wstring upper(text);
  if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}
