// The system's folder chooser: the shell's item dialog in its folder mode.
#include <windows.h>

#include <shobjidl.h>

#include "framework/win32/native.h"

namespace afx::win32 {
namespace {

// Releases the interface it holds when it goes.
template <class Interface>
struct Held {
  Interface* p = nullptr;
  ~Held() {
    if (p) p->Release();
  }
};

// The id of the prompt's text among the dialog's own controls.
constexpr DWORD kPromptTextId = 1;

void Prepare(IFileOpenDialog& dialog, const NativeFolderRequest& request) {
  FILEOPENDIALOGOPTIONS options = 0;
  dialog.GetOptions(&options);
  dialog.SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
  if (!request.title.empty()) dialog.SetTitle(request.title.c_str());
  // The prompt's last line labels the box that names the folder chosen; the
  // lines before it show as a text of their own in the dialog.
  const std::wstring::size_type lastBreak = request.prompt.rfind(L'\n');
  const std::wstring label = lastBreak == std::wstring::npos ? request.prompt : request.prompt.substr(lastBreak + 1);
  if (!label.empty()) dialog.SetFileNameLabel(label.c_str());
  Held<IFileDialogCustomize> customize;
  if (lastBreak != std::wstring::npos && SUCCEEDED(dialog.QueryInterface(IID_PPV_ARGS(&customize.p)))) {
    std::wstring lines = request.prompt.substr(0, lastBreak);
    if (!lines.empty() && lines.back() == L'\r') lines.pop_back();
    customize.p->AddText(kPromptTextId, lines.c_str());
  }
  Held<IShellItem> folder;
  if (!request.initialFolder.empty() &&
      SUCCEEDED(SHCreateItemFromParsingName(request.initialFolder.c_str(), nullptr, IID_PPV_ARGS(&folder.p))))
    dialog.SetFolder(folder.p);
}

bool Choose(NativeWindow owner, const NativeFolderRequest& request, std::wstring& chosen) {
  Held<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog.p))))
    return false;
  Prepare(*dialog.p, request);
  // A cancel is a failure too (ERROR_CANCELLED).
  if (FAILED(dialog.p->Show(static_cast<HWND>(owner)))) return false;
  Held<IShellItem> result;
  PWSTR path = nullptr;
  if (FAILED(dialog.p->GetResult(&result.p)) || FAILED(result.p->GetDisplayName(SIGDN_FILESYSPATH, &path)))
    return false;
  chosen = path;
  CoTaskMemFree(path);
  return true;
}

}  // namespace

bool ShowNativeFolderDialog(NativeWindow owner, const NativeFolderRequest& request,
                            std::wstring& chosen) {
  // The dialog is a COM object of the shell, in the UI thread's apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const bool picked = Choose(owner, request, chosen);
  if (SUCCEEDED(com)) CoUninitialize();
  return picked;
}

}  // namespace afx::win32
