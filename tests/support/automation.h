// Drives dialogs in-process through the headless backend: a script of
// commands (and checks run on the UI thread when it is idle), and the
// automation lines that the run printed.
#pragma once

#include <functional>
#include <string>
#include <variant>

#include "platform/automation.h"
#include "tests/support/cstring_printer.h"
#include "tests/support/environment.h"
#include <vector>

namespace testing_support {

// A command line of the automation contract, or a check that runs on the
// UI thread at the point where the next command would run.
using Step = std::variant<std::wstring, std::function<void()>>;

// Installs the scripted headless backend; the test main calls it once.
void InstallTestBackend();

// Queues the steps for the next modal run (the run ends its dialogs at the
// end of the steps, as at the end of input).
void SetScript(std::vector<Step> steps);
// Lines printed since the last call, in order (MessageBox..., ShellExecute...).
std::vector<std::wstring> TakeOutput();
// The line printed when a document at a card path is opened (the path in
// the file system's own form).
std::wstring OpenedLine(const std::string& path);
// True when some printed line (not yet taken) contains the text.
bool OutputContains(const std::wstring& text);

// Command lines for a control id (the names of res/resource.h): press it,
// set its text, set its check.
std::wstring Click(int id);
std::wstring Set(int id, const std::wstring& text);
std::wstring Check(int id, bool checked);
// The command lines that answer the save dialog and the folder dialog with
// a path.
std::wstring SaveFile(const std::string& path);
std::wstring ChooseFolder(const std::wstring& path);
// Command lines as standard input of the client program: UTF-8, each ended
// by a line end.
std::string Input(const std::vector<std::wstring>& commands);

// While it lives, shell opens launch documents as on a desktop, through the
// xdg-open on path (a path without one: no browser and no PDF viewer).
struct DesktopShell {
  explicit DesktopShell(const std::string& path) : savedPath(std::getenv("PATH")) {
    setenv("PATH", path.c_str(), 1);
    SetHeadlessShell(false);
  }
  ~DesktopShell() {
    setenv("PATH", savedPath.c_str(), 1);
    SetHeadlessShell(true);
  }
  std::string savedPath;
};

}  // namespace testing_support
