#include "app/command_line.h"

#include <cwchar>

void CCustomCommandLineInfo::ParseParam(const wchar_t* param, BOOL, BOOL) {
  if (std::wcscmp(param, L"b") == 0) {
    m_bBatch = TRUE;
    return;
  }
  if (std::wcscmp(param, L"e") == 0) {
    m_bSelfUpdated = TRUE;
    return;
  }
  // "--help" and "--version" arrive with one of their dashes removed, "-h"
  // and "/?" as "h" and "?".
  if (std::wcscmp(param, L"-help") == 0 || std::wcscmp(param, L"h") == 0 || std::wcscmp(param, L"?") == 0)
    m_bShowHelp = TRUE;
  else if (std::wcscmp(param, L"-version") == 0)
    m_bShowVersion = TRUE;
}
