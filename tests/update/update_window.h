// In-process update runs: the real main window and job against the reference
// server, driven by the scripted headless backend.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "tests/support/automation.h"
#include "tests/support/process.h"
#include "tests/update/server_data.h"

namespace testing_support {

// Where the main window's program lives for a run, and so where the job
// looks for the card's logs.
enum class Program {
  kOnCard,  // in the card folder (the current directory): its "logs" beside it
  kNoPath,  // an empty program path: the fallback "D:\logs_2", on Windows on
            // drive D:, elsewhere a folder "D:" in the card
};

class CCardWindow : public CHalyardDlg {
 public:
  explicit CCardWindow(Program program) : m_program(program) {}

 protected:
  BOOL OnInitDialog() override;

 private:
  Program m_program;
};

struct UpdateRun {
  std::vector<std::wstring> output;  // MessageBox and ShellExecute lines
  std::wstring status;               // the status log as the window last showed it
  bool Shows(const std::wstring& line) const;
  // The MessageBox lines alone.
  std::vector<std::wstring> Messages() const;
};

// Runs one update in a fresh main window on the card in the current
// directory: a click on IDC_START_UPDATE after the given steps, then the window ends once
// idle. batch sets the unattended flag.
UpdateRun RunUpdate(bool batch = false, std::vector<Step> before = {}, Program program = Program::kOnCard);

// Starts the reference server on data and points the client at it.
std::unique_ptr<ServerProcess> StartServer(const ServerData& data,
                                           std::vector<std::string> extra = {});
// The f= values of the get.php requests the server has logged, in order.
std::vector<int> FetchedIndexes(const ServerProcess& server);

}  // namespace testing_support
