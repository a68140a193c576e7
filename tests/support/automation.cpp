#include "tests/support/automation.h"

#include <deque>
#include <mutex>

#include "framework/headless/headless_backend.h"
#include "platform/automation.h"
#include "platform/files.h"
#include "platform/text.h"

namespace testing_support {
namespace {
std::mutex g_lock;
std::deque<Step> g_steps;
std::vector<std::wstring> g_output;

bool NextCommand(std::wstring& line) {
  for (;;) {
    Step step;
    {
      std::lock_guard<std::mutex> guard(g_lock);
      if (g_steps.empty()) return false;
      step = std::move(g_steps.front());
      g_steps.pop_front();
    }
    if (auto* command = std::get_if<std::wstring>(&step)) {
      line = *command;
      return true;
    }
    std::get<std::function<void()>>(step)();
  }
}
afx::HeadlessBackend& TestBackend() {
  static afx::HeadlessBackend backend(&NextCommand);
  return backend;
}
}  // namespace

// The backend of every in-process test reads the script queue.
void InstallTestBackend() {
  afx::SetBackend(&TestBackend());
  SetHeadlessShell(true);
  SetAutomationSink([](const std::wstring& line) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_output.push_back(line);
  });
}

void SetScript(std::vector<Step> steps) {
  TestBackend().RestartInput();
  std::lock_guard<std::mutex> guard(g_lock);
  g_steps.assign(steps.begin(), steps.end());
}

std::wstring OpenedLine(const std::string& path) {
  return L"ShellExecute: open " + EscapeAutomationText(WideFromUtf8(NativePath(path.c_str())));
}

std::vector<std::wstring> TakeOutput() {
  std::lock_guard<std::mutex> guard(g_lock);
  std::vector<std::wstring> out;
  out.swap(g_output);
  return out;
}

bool OutputContains(const std::wstring& text) {
  std::lock_guard<std::mutex> guard(g_lock);
  for (const auto& line : g_output)
    if (line.find(text) != std::wstring::npos) return true;
  return false;
}

std::wstring Click(int id) { return L"click " + std::to_wstring(id); }

std::wstring Set(int id, const std::wstring& text) {
  return L"set " + std::to_wstring(id) + L" " + text;
}

std::wstring Check(int id, bool checked) {
  return L"check " + std::to_wstring(id) + (checked ? L" 1" : L" 0");
}

std::wstring SaveFile(const std::string& path) {
  return L"savefile " + EscapeAutomationText(WideFromUtf8(path));
}

std::wstring ChooseFolder(const std::wstring& path) { return L"folder " + EscapeAutomationText(path); }

std::string Input(const std::vector<std::wstring>& commands) {
  std::string input;
  for (const std::wstring& command : commands) input += Utf8FromWide(command) + "\n";
  return input;
}

}  // namespace testing_support
