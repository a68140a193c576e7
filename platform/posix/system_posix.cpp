#include "platform/system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/text.h"

LANGID LanguageIdFromLocale(const char* locale) {
  if (!locale) return 0x0409;
  const std::string text(locale);
  if (text == "ja" || text.rfind("ja_JP", 0) == 0 || text.rfind("ja.", 0) == 0) return 0x0411;
  if (text.rfind("en_US", 0) == 0) return 0x0409;
  if (text.rfind("ko", 0) == 0) return 0x0412;
  if (text.rfind("zh", 0) == 0) return 0x0804;
  if (text.rfind("de", 0) == 0) return 0x0407;
  if (text.rfind("fr", 0) == 0) return 0x040C;
  if (text.rfind("en_GB", 0) == 0) return 0x0809;
  return 0x007F;  // the invariant language: neither Japanese nor US English
}

LANGID GetUserDefaultUILanguage() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return LanguageIdFromLocale(value);
  }
  return LanguageIdFromLocale(nullptr);
}

namespace {
std::string ModulePath() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return std::string(buffer, static_cast<size_t>(n));
}
}  // namespace

bool IsProgramFolder(const std::wstring& folder) {
  const std::string program = ModulePath();
  char resolved[PATH_MAX];
  if (program.empty() || !realpath(Utf8FromWide(folder).c_str(), resolved)) return false;
  // The link to the program is resolved already.
  return program.substr(0, program.rfind('/')) == (std::string(resolved) == "/" ? "" : resolved);
}

DWORD GetModuleFileNameW(HINSTANCE, wchar_t* buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  const std::wstring path = WideFromUtf8(ModulePath());
  const size_t n = path.size() < size - 1 ? path.size() : size - 1;
  std::wmemcpy(buffer, path.data(), n);
  buffer[n] = L'\0';
  return static_cast<DWORD>(n);
}

DWORD GetModuleFileNameA(HINSTANCE, char* buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  const std::string path = ModulePath();
  const size_t n = path.size() < size - 1 ? path.size() : size - 1;
  std::memcpy(buffer, path.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

ULONGLONG GetTickCount64() {
  using namespace std::chrono;
  return static_cast<ULONGLONG>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void Sleep(DWORD milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace {
// A folder is safe for private files when it is a real directory (not a
// link), owned by us and closed to everybody else.
bool IsPrivateFolder(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

std::string PrivateTempFolder() {
  const std::string runtime = GetEnvironmentText("XDG_RUNTIME_DIR");
  if (!runtime.empty() && runtime[0] == '/' && IsPrivateFolder(runtime)) return runtime + "/";
  std::string base = GetEnvironmentText("TMPDIR");
  if (base.empty()) base = "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  const std::string folder = base + "/koral70-" + std::to_string(getuid());
  mkdir(folder.c_str(), 0700);  // an existing folder is checked below
  if (!IsPrivateFolder(folder)) return {};
  return folder + "/";
}
}  // namespace

DWORD GetTempPathW(DWORD size, wchar_t* buffer) {
  const std::wstring path = WideFromUtf8(PrivateTempFolder());
  if (path.empty() || !buffer || path.size() + 1 > size) return 0;
  std::wmemcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

std::string GetEnvironmentText(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::vector<std::wstring> ProgramArguments(int argc, char** argv) {
  std::vector<std::wstring> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(WideFromUtf8(argv[i]));
  return arguments;
}
