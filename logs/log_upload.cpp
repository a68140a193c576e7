#include "logs/log_upload.h"

#include <cwchar>
#include <string>
#include <utility>

#include "core/product.h"
#include "net/http_session.h"
#include "net/retry.h"
#include "platform/files.h"
#include "platform/text.h"

bool g_bUploadFailed = false;

namespace {

// The name the server knows a folder by: its path from the log folder's own
// name on, with '/' separators, without the first five characters. For a log
// folder named "logs" that is the path below it ("A/B", and "" for the log
// folder itself, which the server starts in); a log folder with a longer name
// keeps the rest of its name ("logs_2" gives "2").
std::wstring FolderValue(const std::wstring& rootName, const std::wstring& relative) {
  constexpr size_t kDropped = 5;
  const std::wstring path = relative.empty() ? rootName : rootName + L"/" + relative;
  return path.size() < kDropped ? std::wstring() : path.substr(kDropped);
}

// One walk's requests on g_pUploadSession. The server files each upload in
// the folder announced last, so the walk remembers what that is.
class CLogWalk {
 public:
  explicit CLogWalk(std::wstring rootName) : m_rootName(std::move(rootName)) {}

  LogUploadCounts counts;

  // Uploads the folder's tree; true when it holds something that is no log
  // (a link, a pipe, a device) and therefore stays.
  bool Walk(const std::wstring& folder, const std::wstring& relative, const wchar_t* pattern);

 private:
  void Announce(const std::wstring& value);
  bool UploadFile(const std::wstring& path, const std::wstring& name);

  std::wstring m_rootName;
  std::wstring m_announced;  // the server's folder: "" until the first announcement
};

void CLogWalk::Announce(const std::wstring& value) {
  m_announced = value;
  CHttpSession* session = g_pUploadSession;
  if (!session) return;
  session->ClearPostFields();
  session->AddPostField(CString(L"dir=" + value));
  const std::string url = Utf8FromWide(ServerScriptUrl(ServerScript::kLogSetDir).str());
  session->SetUrlA(url.c_str());
  // Its outcome changes nothing, but a folder lost to a blip would file the
  // logs after it in the wrong folder.
  PerformWithRetry(*session, [](const CHttpSession& replied) { return replied.Succeeded(); });
}

bool CLogWalk::UploadFile(const std::wstring& path, const std::wstring& name) {
  CHttpSession* session = g_pUploadSession;
  if (!session) return false;
  const std::string pathUtf8 = Utf8FromWide(path), nameUtf8 = Utf8FromWide(name);
  const std::string url = Utf8FromWide(ServerScriptUrl(ServerScript::kLogUpload).str());
  // The server keeps only what it accepted: an error status leaves the file
  // on the card for the next run. A try whose answer was lost is sent again
  // (the form is freed by every transfer, so each try builds its own), and
  // the server may then hold that log twice.
  bool sent = false;
  RunTries(*session, [&] {
    session->ClearPostFields();
    if (!CHttpSession::AddFormPart("file", FormPart::kFile, pathUtf8.c_str()) ||
        !CHttpSession::AddFormPart("name", FormPart::kText, nameUtf8.c_str()))
      return TryOutcome::kDone;
    session->SetUrlA(url.c_str());
    const HttpResult result = session->Perform();
    sent = result == HttpResult::kOk && session->Succeeded();
    return JudgeTry(result, *session, sent);
  });
  return sent;
}

bool CLogWalk::Walk(const std::wstring& folder, const std::wstring& relative, const wchar_t* pattern) {
  const std::wstring value = FolderValue(m_rootName, relative);
  // Every subfolder is announced on entry (and a log folder whose value is
  // not empty, too); the others only before a file that needs it.
  if (!relative.empty() || !value.empty()) Announce(value);

  bool keeps = false;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"/" + pattern).c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"/" + name;
      const DWORD attributes = GetFileAttributesW(path.c_str());
      // Only folders and regular files are logs: a link is never followed
      // and a pipe or device never read (reading one could wait for ever).
      if (attributes == INVALID_FILE_ATTRIBUTES ||
          (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))) {
        keeps = true;
        continue;
      }
      if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        keeps |= Walk(path, relative.empty() ? name : relative + L"/" + name, pattern);
        continue;
      }
      // A file with a second name (a hard link) may be one from off the
      // card: its contents are not the card's to send.
      if (!IsSingleNamedFileW(path.c_str())) {
        keeps = true;
        continue;
      }
      // A subfolder's walk has moved the server on: a file that the listing
      // returns after it is announced under its own folder again.
      if (m_announced != value) Announce(value);
      if (UploadFile(path, name))
        ++counts.sent;
      else
        g_bUploadFailed = true;
      if (g_bUploadFailed || !DeleteFileW(path.c_str())) {
        g_bUploadFailed = true;
        ++counts.left;
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  // A folder that keeps what is no log stays, and that is no failure.
  if (!keeps && !g_bUploadFailed && !RemoveDirectoryW(folder.c_str())) g_bUploadFailed = true;
  return keeps;
}

// The walk on g_pUploadSession, from the log folder's root.
LogUploadCounts UploadLogFolder(const wchar_t* folder, const wchar_t* pattern) {
  // In the file system's own form: libcurl opens the files by these paths.
  std::wstring root = WideFromUtf8(NativePath(folder));
  const auto isSeparator = [](wchar_t c) { return c == L'/' || c == L'\\'; };
  while (root.size() > 1 && isSeparator(root.back())) root.pop_back();
  if (root == L"." || root == L"..") return {};
  // A folder that cannot be entered (no "logs" at all) means nothing to do.
  WIN32_FIND_DATAW probe;
  HANDLE find = FindFirstFileW((root + L"/" + pattern).c_str(), &probe);
  if (find == INVALID_HANDLE_VALUE || IsSymbolicLinkW(root.c_str())) {
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return {};
  }
  FindClose(find);
  size_t cut = root.size();
  while (cut > 0 && !isSeparator(root[cut - 1])) --cut;
  CLogWalk walk(root.substr(cut));
  walk.Walk(root, std::wstring(), pattern);
  return walk.counts;
}

}  // namespace

LogUploadCounts UploadLogs(CHttpSession& session, const wchar_t* folder) {
  g_bUploadFailed = false;
  g_pUploadSession = &session;
  LogUploadCounts counts = UploadLogFolder(folder, L"*.*");
  g_pUploadSession = nullptr;
  counts.failed = g_bUploadFailed;
  return counts;
}

CString CardLogFolder(const wchar_t* modulePath, bool programOffCard) {
  // A program that runs from elsewhere has the card's root as its current
  // directory, and never a log folder of its own.
  if (programOffCard) return CString(L"logs");
  if (!modulePath || !*modulePath) return CString(L"D:\\logs_2");
  // "logs" beside the program: on a card, whose root holds the program, that
  // is the drive's own log folder; a program run from any other folder never
  // reaches up to the root of the drive that holds it.
  const std::wstring path = modulePath;
  const size_t separator = path.find_last_of(L"\\/");
  const std::wstring folder = separator == std::wstring::npos ? L"" : path.substr(0, separator + 1);
  return CString(folder + L"logs");
}
