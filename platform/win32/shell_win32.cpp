#include "platform/shell_launch.h"

#include "platform/wintypes.h"

#include <shellapi.h>

#include <vector>

#include "platform/text.h"

bool IsProgramFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
  return HasProgramSuffix(path) && attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool StartProgram(const std::string& path, const std::string& parameters) {
  const std::wstring program = WideFromUtf8(path);
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!parameters.empty()) commandLine += L" " + WideFromUtf8(parameters);
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesW(WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The shell starts the program associated with the document and returns;
// it never waits for that program to end.
bool OpenWithDesktop(const std::string& target) {
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", WideFromUtf8(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result) > 32;
}
