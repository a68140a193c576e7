// Real processes for the Windows build's tests, which run under Wine. The
// client is a Windows program and runs with pipes as usual. The reference
// server is the program built for the host (it needs OpenSSL and Linux
// sockets): Wine starts a host program on CreateProcessW, but hands it no
// pipes and no process handle, so it runs under /bin/sh with its output in a
// file that is read as it grows, its pid written beside it, and it is
// stopped with kill. Its exit status reaches the test through the shell.
//
// The Windows programs die with the test process, also when it crashes:
// they run in a job that ends with it. Wine starts a host program detached
// (its parent is init) and shows no host pid of the test process, so the
// host server cannot follow it; it writes to a file, never to the test's
// streams, and scripts/test-windows stops any left when the run ends.
#include "tests/support/process.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/text.h"
#include "tests/support/temp_card.h"

namespace fs = std::filesystem;

namespace testing_support {
namespace {
using Clock = std::chrono::steady_clock;

// Quotes one argument for the command line as CommandLineToArgvW reads it.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

std::wstring CommandLine(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const auto& a : argv) line += (line.empty() ? L"" : L" ") + Quoted(WideFromUtf8(a));
  return line;
}

// This process's environment with the given variables set (an empty value
// removes one), as a block for CreateProcessW.
std::vector<wchar_t> EnvironmentBlock(const Environment& env) {
  std::vector<std::pair<std::wstring, std::wstring>> variables;
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
    const std::wstring entry = p;
    const size_t equals = entry.find(L'=', 1);
    if (equals != std::wstring::npos) variables.emplace_back(entry.substr(0, equals), entry.substr(equals + 1));
  }
  FreeEnvironmentStringsW(block);
  for (const auto& [name, value] : env) {
    const std::wstring wideName = WideFromUtf8(name);
    std::erase_if(variables, [&](const auto& v) { return _wcsicmp(v.first.c_str(), wideName.c_str()) == 0; });
    if (!value.empty()) variables.emplace_back(wideName, WideFromUtf8(value));
  }
  std::vector<wchar_t> out;
  for (const auto& [name, value] : variables) {
    const std::wstring entry = name + L"=" + value;
    out.insert(out.end(), entry.begin(), entry.end());
    out.push_back(L'\0');
  }
  out.push_back(L'\0');
  return out;
}

void ReadAll(HANDLE pipe, std::string& into) {
  char buffer[4096];
  DWORD n = 0;
  while (::ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) into.append(buffer, n);
}

// The host path of a Windows path, through Wine's own mapping.
std::string HostPath(const std::string& path) {
  using Mapper = char*(CDECL*)(LPCWSTR);
  static const auto mapper = reinterpret_cast<Mapper>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!mapper) return path;
  char* mapped = mapper(WideFromUtf8(path).c_str());
  if (!mapped) return path;
  std::string out = mapped;
  HeapFree(GetProcessHeap(), 0, mapped);
  return out;
}

// Arguments that name Windows paths ("C:\..."), in host form.
std::vector<std::string> HostArguments(const std::vector<std::string>& arguments) {
  std::vector<std::string> out;
  for (const auto& a : arguments)
    out.push_back(a.size() > 2 && a[1] == ':' && (a[2] == '\\' || a[2] == '/') ? HostPath(a) : a);
  return out;
}

std::string ShellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// A host process that has ended but is not yet reaped (a zombie, state "Z"
// after the name in /proc/PID/stat) counts as ended: the host's init reaps
// it only after a while.
bool HostProcessAlive(int pid) {
  if (pid <= 0) return false;
  std::ifstream in("Z:\\proc\\" + std::to_string(pid) + "\\stat");
  const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t name = stat.rfind(')');
  return name != std::string::npos && stat.compare(name, 3, ") Z") != 0;
}

// The job of every Windows program a test starts, and of what those start in
// turn. Its one handle is closed when the test process ends, however it
// ends, and the system then kills what is still in the job.
HANDLE TestJob() {
  static const HANDLE job = [] {
    HANDLE created = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (created && !SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
      CloseHandle(created);
      created = nullptr;
    }
    return created;
  }();
  return job;
}

// Runs a /bin/sh script as a host program, without waiting for it.
bool StartHostScript(const std::string& script) {
  std::wstring line = CommandLine({"/bin/sh", "-c", script});
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
  return true;
}

// The command for argv in host form, its output into a file.
std::string HostCommand(const std::vector<std::string>& argv, const std::string& outputFile) {
  std::string command;
  for (const auto& a : HostArguments(argv)) command += (command.empty() ? "" : " ") + ShellQuoted(a);
  return command + " </dev/null >" + ShellQuoted(HostPath(outputFile)) + " 2>&1";
}

// Waits until a file holds a number and returns it; -1 after the time-out.
int WaitForNumber(const std::string& file, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    std::ifstream in(file);
    int number = 0;
    if (in >> number) return number;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return -1;
}

// A private folder for the files of one host program.
std::string HostProgramFolder() {
  static std::atomic<int> counter{0};
  // Wine reuses process ids, and a killed test leaves its folder behind: a
  // folder that exists already (with another server's pid and port) is never
  // taken.
  for (;;) {
    const fs::path folder = fs::temp_directory_path() / ("koral70-host-" + std::to_string(GetCurrentProcessId()) +
                                                         "-" + std::to_string(++counter));
    if (fs::create_directory(folder)) return folder.string();
  }
}

// A program given by a host path: a Windows one (".exe") is reached through
// drive Z:, every other one is a host program.
bool IsHostPath(const std::string& path) { return !path.empty() && path[0] == '/'; }
bool IsHostProgram(const std::string& path) { return IsHostPath(path) && !path.ends_with(".exe"); }
std::string OnDriveZ(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return "Z:" + path;
}

ProcessResult RunHostProgram(const std::vector<std::string>& argv, const std::string& cwd, int timeoutSeconds) {
  const std::string folder = HostProgramFolder();
  const std::string output = folder + "\\output", status = folder + "\\status";
  std::string script = cwd.empty() ? std::string() : "cd " + ShellQuoted(HostPath(cwd)) + " && ";
  script += HostCommand(argv, output) + "; echo $? > " + ShellQuoted(HostPath(status));
  ProcessResult result;
  if (StartHostScript(script)) {
    result.exitCode = WaitForNumber(status, std::chrono::seconds(timeoutSeconds));
    result.out = ReadFile(output);
  }
  RemoveTree(folder);
  return result;
}
}  // namespace

std::string ClientBinary() {
  // The client is built beside the test programs.
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return (fs::path(std::wstring(path, n)).parent_path() / "koral70.exe").string();
}
std::string ServerBinary() { return KORAL70_SERVER_BINARY; }

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input,
                         const std::string& cwd, const Environment& env, int timeoutSeconds) {
  if (!argv.empty() && IsHostProgram(argv[0])) return RunHostProgram(argv, cwd, timeoutSeconds);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE inRead, inWrite, outRead, outWrite, errRead, errWrite;
  if (!CreatePipe(&inRead, &inWrite, &inherit, 0)) return {};
  CreatePipe(&outRead, &outWrite, &inherit, 0);
  CreatePipe(&errRead, &errWrite, &inherit, 0);
  for (HANDLE own : {inWrite, outRead, errRead}) SetHandleInformation(own, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inRead;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  std::vector<std::string> windowsArgv = argv;
  if (!windowsArgv.empty() && IsHostPath(windowsArgv[0])) windowsArgv[0] = OnDriveZ(windowsArgv[0]);
  std::wstring line = CommandLine(windowsArgv);
  std::vector<wchar_t> block = EnvironmentBlock(env);
  const std::wstring folder = WideFromUtf8(cwd);
  // Started suspended, so that it joins the job before it can start anything.
  const BOOL started =
      CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED,
                     block.data(), folder.empty() ? nullptr : folder.c_str(), &startup, &process);
  for (HANDLE theirs : {inRead, outWrite, errWrite}) CloseHandle(theirs);
  ProcessResult result;
  if (!started) {
    for (HANDLE own : {inWrite, outRead, errRead}) CloseHandle(own);
    return result;
  }
  if (const HANDLE job = TestJob()) AssignProcessToJobObject(job, process.hProcess);
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  // Input is small (a script of commands); a client that ends without
  // reading it makes the write fail, which is fine.
  DWORD written = 0;
  if (!input.empty()) ::WriteFile(inWrite, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
  CloseHandle(inWrite);
  std::thread errors([&] { ReadAll(errRead, result.err); });
  std::thread output([&] { ReadAll(outRead, result.out); });
  bool killed = false;
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutSeconds) * 1000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    killed = true;
  }
  // A program the client started (the new client) may still hold the pipes;
  // it ends on its own, and its output belongs to the run.
  output.join();
  errors.join();
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(outRead);
  CloseHandle(errRead);
  result.exitCode = killed ? -1 : static_cast<int>(code);
  return result;
}

ServerProcess::ServerProcess(const std::vector<std::string>& arguments) {
  m_folder = HostProgramFolder();
  std::vector<std::string> argv = {ServerBinary(), "--port", "0"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const std::string output = m_folder + "\\output", pidFile = m_folder + "\\pid";
  if (!StartHostScript("echo $$ > " + ShellQuoted(HostPath(pidFile)) + "; exec " + HostCommand(argv, output)))
    return;
  m_pid = WaitForNumber(pidFile, std::chrono::seconds(10));
  // The first line names the port.
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  std::string first;
  while (m_pid > 0 && Clock::now() < deadline) {
    first = ReadFile(output);
    if (first.find('\n') != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (first.rfind("PORT ", 0) == 0) m_port = std::atoi(first.c_str() + 5);
  m_reader = new std::thread([this] { ReadOutput(); });
}

void ServerProcess::ReadOutput() {
  // Follows the output file until the server has ended and all is read; the
  // port line is not part of the log. The file is read through its own
  // handle: the C runtime's stream stays at its end once it has seen it.
  const HANDLE file = CreateFileW(WideFromUtf8(m_folder + "\\output").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  bool inPortLine = true;
  for (;;) {
    const bool ended = m_stopping && !HostProcessAlive(m_pid);
    char buffer[4096];
    DWORD n = 0;
    if (::ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) {
      const char* bytes = buffer;
      if (inPortLine) {
        const char* nl = static_cast<const char*>(memchr(buffer, '\n', n));
        if (!nl) continue;
        inPortLine = false;
        n -= static_cast<DWORD>(nl + 1 - buffer);
        bytes = nl + 1;
      }
      TakeOutput(bytes, n);
      continue;
    }
    if (ended) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  CloseHandle(file);
}

ServerProcess::~ServerProcess() {
  if (m_pid > 0 && StartHostScript("kill -TERM " + std::to_string(m_pid)))
    for (int i = 0; i < 500 && HostProcessAlive(m_pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  m_stopping = true;
  if (m_reader) {
    m_reader->join();
    delete m_reader;
  }
  RemoveTree(m_folder);
}

}  // namespace testing_support
