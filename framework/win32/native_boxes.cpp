// The system's message box and common save dialog.
#include <windows.h>

#include <commdlg.h>

#include <algorithm>

#include "framework/win32/native.h"

namespace afx::win32 {
namespace {

UINT IconFlag(NativeIcon icon) {
  switch (icon) {
    case NativeIcon::Information: return MB_ICONINFORMATION;
    case NativeIcon::Exclamation: return MB_ICONEXCLAMATION;
    case NativeIcon::Error: return MB_ICONERROR;
    default: return 0;
  }
}

}  // namespace

int ShowNativeMessageBox(NativeWindow owner, const std::wstring& title, const std::wstring& text,
                         NativeIcon icon, bool yesNo, bool noDefault) {
  // Without an owner the box still keeps the program's other windows from
  // taking input while it shows.
  const UINT modality = owner ? MB_APPLMODAL : MB_TASKMODAL;
  const UINT buttons = yesNo ? (MB_YESNO | (noDefault ? MB_DEFBUTTON2 : MB_DEFBUTTON1)) : MB_OK;
  const int answer = MessageBoxW(static_cast<HWND>(owner), text.c_str(), title.c_str(),
                                 buttons | IconFlag(icon) | modality);
  return yesNo ? (answer == IDYES ? IDYES : IDNO) : IDOK;
}

bool ShowNativeSaveDialog(NativeWindow owner, const NativeSaveRequest& request,
                          std::wstring& chosen) {
  // "Text|*.txt||" becomes "Text\0*.txt\0\0".
  std::wstring filter = request.filter;
  for (wchar_t& ch : filter)
    if (ch == L'|') ch = L'\0';
  filter.push_back(L'\0');
  const size_t slash = request.initialPath.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : request.initialPath.substr(0, slash);
  const std::wstring name =
      slash == std::wstring::npos ? request.initialPath : request.initialPath.substr(slash + 1);
  std::wstring extension = request.defaultExtension;
  if (!extension.empty() && extension.front() == L'.') extension.erase(0, 1);

  std::wstring file(32768, L'\0');
  name.copy(file.data(), std::min(name.size(), file.size() - 1));
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = static_cast<HWND>(owner);
  dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                 (request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0);
  if (!GetSaveFileNameW(&dialog)) return false;
  chosen = file.c_str();
  return true;
}

}  // namespace afx::win32
