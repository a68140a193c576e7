// In-process update runs against the reference server: the real main window
// and job, driven by the scripted headless backend, or the job alone.
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
  // The job alone: it paused its transfers for good, and a transfer still
  // reported progress after that.
  bool transfersPaused = false;
  bool progressWhilePaused = false;
  bool Shows(const std::wstring& line) const;
  // The MessageBox lines alone.
  std::vector<std::wstring> Messages() const;
};

// Runs one update in a fresh main window on the card in the current
// directory: a click on IDC_START_UPDATE after the given steps, then the window ends once
// idle. batch sets the unattended flag.
UpdateRun RunUpdate(bool batch = false, std::vector<Step> before = {}, Program program = Program::kOnCard);

// Runs one update job on the card in the current directory without a
// window: its login from "pass.ini", what a window would have shown from a
// recording reporter (no ShellExecute lines: a hand-over is only recorded).
UpdateRun RunUpdateJobOnly(bool batch = false, Program program = Program::kOnCard);

// Starts the reference server on data and points the client at it.
std::unique_ptr<ServerProcess> StartServer(const ServerData& data,
                                           std::vector<std::string> extra = {});
// The f= values of the get.php requests the server has logged, in order.
std::vector<int> FetchedIndexes(const ServerProcess& server);

}  // namespace testing_support
