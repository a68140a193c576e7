#include "platform/shell.h"

#include <cctype>
#include <string>

#include "platform/automation.h"
#include "platform/files.h"
#include "platform/shell_launch.h"
#include "platform/text.h"

namespace {
constexpr std::intptr_t kSuccess = 42;
constexpr std::intptr_t kFileNotFound = 2;
constexpr std::intptr_t kNoAssociation = 31;

HINSTANCE Code(std::intptr_t value) { return reinterpret_cast<HINSTANCE>(value); }

HINSTANCE Open(const std::string& verb, const std::string& file, const std::string& parameters) {
  const bool url = file.find("://") != std::string::npos;
  const std::string native = url ? file : NativePath(file.c_str());
  if (IsHeadlessShell()) {
    std::string line = "ShellExecute: " + verb + " " + native;
    if (!parameters.empty()) line += " " + parameters;
    WriteAutomationLine(EscapeAutomationText(WideFromUtf8(line)));
  }
  if (verb != "open") return Code(kNoAssociation);
  if (!url && IsProgramFile(native)) return StartProgram(native, parameters) ? Code(kSuccess) : Code(kFileNotFound);
  if (IsHeadlessShell()) return Code(kSuccess);
  if (!url && !FileExists(native)) return Code(kFileNotFound);
  return OpenWithDesktop(native) ? Code(kSuccess) : Code(kNoAssociation);
}
}  // namespace

bool HasProgramSuffix(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".exe";
}

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR, int) {
  return Open(Utf8FromWide(verb ? verb : L"open"), Utf8FromWide(file ? file : L""),
              Utf8FromWide(parameters ? parameters : L""));
}

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR, int) {
  return Open(verb ? verb : "open", file ? file : "", parameters ? parameters : "");
}
