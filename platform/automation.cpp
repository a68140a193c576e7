#include "automation.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "platform/text.h"

namespace {
#ifdef _WIN32
// The lines are bytes as they are, "\n" included, as on every other system.
[[maybe_unused]] const int g_binaryOutput = _setmode(_fileno(stdout), _O_BINARY);
#endif
std::mutex g_outputLock;
std::atomic<bool> g_headlessShell{false};
std::function<void(const std::wstring&)> g_sink;
}  // namespace

std::wstring EscapeAutomationText(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\\') out += L"\\\\";
    else if (c == L'\r') out += L"\\r";
    else if (c == L'\n') out += L"\\n";
    else out += c;
  }
  return out;
}

std::wstring UnescapeAutomationText(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size()) {
      wchar_t n = text[++i];
      out += n == L'r' ? L'\r' : n == L'n' ? L'\n' : n;
    } else {
      out += text[i];
    }
  }
  return out;
}

void SetAutomationSink(std::function<void(const std::wstring&)> sink) {
  std::lock_guard<std::mutex> lock(g_outputLock);
  g_sink = std::move(sink);
}

void WriteAutomationLine(const std::wstring& line) {
  const std::string bytes = Utf8FromWide(line) + "\n";
  std::lock_guard<std::mutex> lock(g_outputLock);
  if (g_sink) {
    g_sink(line);
    return;
  }
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void SetHeadlessShell(bool headless) { g_headlessShell = headless; }
bool IsHeadlessShell() { return g_headlessShell; }
