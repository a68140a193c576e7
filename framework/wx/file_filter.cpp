#include "framework/wx/file_filter.h"

namespace afx {

std::wstring WildcardFromFilter(const std::wstring& filter) {
  std::wstring wildcard = filter;
  while (!wildcard.empty() && wildcard.back() == L'|') wildcard.pop_back();
  return wildcard.empty() ? std::wstring(L"*") : wildcard;
}

std::wstring PathWithDefaultExtension(const std::wstring& path, const std::wstring& extension) {
  std::wstring ext = extension;
  if (!ext.empty() && ext.front() == L'.') ext.erase(0, 1);
  if (ext.empty() || path.empty() || path.back() == L'/') return path;
  const size_t nameStart = path.find_last_of(L'/') + 1;  // npos + 1 == 0
  if (path.find(L'.', nameStart) != std::wstring::npos) return path;
  return path + L"." + ext;
}

}  // namespace afx
