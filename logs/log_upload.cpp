#include "logs/log_upload.h"

#include <cwchar>
#include <string>

#include "core/product.h"
#include "net/http_session.h"
#include "platform/files.h"
#include "platform/text.h"

bool g_bUploadFailed = false;

namespace {

// The name the server knows a folder by: its path from the log folder's own
// name on, with '/' separators, without the first five characters. For a log
// folder named "logs" that is the path below it ("A/B"), and the log folder
// itself is not announced; a log folder with a longer name is announced too.
bool AnnouncedName(const std::wstring& rootName, const std::wstring& relative,
                   std::wstring& value) {
  constexpr size_t kDropped = 5;
  const std::wstring path = relative.empty() ? rootName : rootName + L"/" + relative;
  if (path.size() < kDropped) return false;
  value = path.substr(kDropped);
  return true;
}

void AnnounceFolder(const std::wstring& value) {
  CHttpSession* session = g_pUploadSession;
  if (!session) return;
  session->ClearPostFields();
  session->AddPostField(CString(L"dir=" + value));
  const std::string url = Utf8FromWide(ServerScriptUrl(ServerScript::kLogSetDir).str());
  session->SetUrlA(url.c_str());
  session->Perform();  // its outcome changes nothing
}

bool UploadFile(const std::wstring& path, const std::wstring& name) {
  CHttpSession* session = g_pUploadSession;
  if (!session) return false;
  const std::string pathUtf8 = Utf8FromWide(path), nameUtf8 = Utf8FromWide(name);
  session->ClearPostFields();
  if (!CHttpSession::AddFormPart("file", FormPart::kFile, pathUtf8.c_str()) ||
      !CHttpSession::AddFormPart("name", FormPart::kText, nameUtf8.c_str()))
    return false;
  const std::string url = Utf8FromWide(ServerScriptUrl(ServerScript::kLogUpload).str());
  session->SetUrlA(url.c_str());
  // The server keeps only what it accepted: an error status leaves the file
  // on the card for the next run.
  return session->Perform() == HttpResult::kOk && session->Succeeded();
}

void WalkFolder(const std::wstring& folder, const std::wstring& rootName,
                const std::wstring& relative, const wchar_t* pattern) {
  std::wstring announced;
  if (AnnouncedName(rootName, relative, announced)) AnnounceFolder(announced);

  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"/" + pattern).c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"/" + name;
      if (IsSymbolicLinkW(path.c_str())) continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        WalkFolder(path, rootName, relative.empty() ? name : relative + L"/" + name, pattern);
        continue;
      }
      if (!UploadFile(path, name)) g_bUploadFailed = true;
      if (!g_bUploadFailed && !DeleteFileW(path.c_str())) g_bUploadFailed = true;
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  if (!g_bUploadFailed && !RemoveDirectoryW(folder.c_str())) g_bUploadFailed = true;
}

}  // namespace

void UploadLogFolder(const wchar_t* folder, const wchar_t* pattern) {
  // In the file system's own form: libcurl opens the files by these paths.
  std::wstring root = WideFromUtf8(NativePath(folder));
  const auto isSeparator = [](wchar_t c) { return c == L'/' || c == L'\\'; };
  while (root.size() > 1 && isSeparator(root.back())) root.pop_back();
  if (root == L"." || root == L"..") return;
  // A folder that cannot be entered (no "logs" at all) means nothing to do.
  WIN32_FIND_DATAW probe;
  HANDLE find = FindFirstFileW((root + L"/" + pattern).c_str(), &probe);
  if (find == INVALID_HANDLE_VALUE || IsSymbolicLinkW(root.c_str())) {
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return;
  }
  FindClose(find);
  size_t cut = root.size();
  while (cut > 0 && !isSeparator(root[cut - 1])) --cut;
  WalkFolder(root, root.substr(cut), std::wstring(), pattern);
}

CString CardLogFolder(const wchar_t* modulePath) {
  if (!modulePath || !*modulePath) return CString(L"D:\\logs_2");
  // "logs" beside the program: on a card, whose root holds the program, that
  // is the drive's own log folder; a program run from any other folder never
  // reaches up to the root of the drive that holds it.
  const std::wstring path = modulePath;
  const size_t separator = path.find_last_of(L"\\/");
  const std::wstring folder = separator == std::wstring::npos ? L"" : path.substr(0, separator + 1);
  return CString(folder + L"logs");
}
