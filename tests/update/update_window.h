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

// The main window with its program path cleared, so that the job's log
// folder is the fallback "D:\logs_2", which resolves inside the card folder
// (the current directory), not a "logs" folder beside the test program.
class CCardWindow : public CHalyardDlg {
 protected:
  BOOL OnInitDialog() override;
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
UpdateRun RunUpdate(bool batch = false, std::vector<Step> before = {});

// Starts the reference server on data and points the client at it.
std::unique_ptr<ServerProcess> StartServer(const ServerData& data,
                                           std::vector<std::string> extra = {});
// The f= values of the get.php requests the server has logged, in order.
std::vector<int> FetchedIndexes(const ServerProcess& server);

}  // namespace testing_support
