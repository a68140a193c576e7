#include "core/progress_text.h"

CString MegabytesText(std::uint64_t bytes) {
  CString text;
  text.Format(L"%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

CString SizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kKilobyte = 1024;
  CString text;
  if (bytes < kKilobyte)
    text.Format(L"%lu B", static_cast<unsigned long>(bytes));
  else if (bytes < kKilobyte * kKilobyte)
    text.Format(L"%.1f KB", static_cast<double>(bytes) / kKilobyte);
  else
    text = MegabytesText(bytes) + L" MB";
  return text;
}

CString DurationText(std::uint64_t seconds) {
  CString text;
  const auto hours = static_cast<unsigned long>(seconds / 3600);
  const auto minutes = static_cast<unsigned long>(seconds / 60 % 60);
  const auto rest = static_cast<unsigned long>(seconds % 60);
  if (hours > 0)
    text.Format(L"%lu:%02lu:%02lu", hours, minutes, rest);
  else
    text.Format(L"%lu:%02lu", minutes, rest);
  return text;
}
