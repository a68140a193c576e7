#include "tests/update/update_window.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>

#include "core/product.h"
#include "res/resource.h"
#include "tests/support/environment.h"
#include "tests/support/recording_reporter.h"
#include "update/credentials.h"
#include "update/update_job.h"

namespace testing_support {

namespace {
// The program's path for a run: on the card in the current directory, or none.
void SetProgramPath(Program program, wchar_t (&path)[255]) {
  const std::wstring file =
      program == Program::kOnCard ? (std::filesystem::current_path() / "koral70.exe").wstring() : L"";
  const size_t length = std::min(file.size(), std::size(path) - 1);
  std::copy_n(file.begin(), length, path);
  path[length] = L'\0';
}
}  // namespace

BOOL CCardWindow::OnInitDialog() {
  const BOOL result = CHalyardDlg::OnInitDialog();
  SetProgramPath(m_program, m_szModulePath);
  return result;
}

bool UpdateRun::Shows(const std::wstring& line) const {
  for (const auto& printed : output)
    if (printed == line) return true;
  return false;
}

std::vector<std::wstring> UpdateRun::Messages() const {
  std::vector<std::wstring> messages;
  for (const auto& printed : output)
    if (printed.rfind(L"MessageBox[", 0) == 0) messages.push_back(printed);
  return messages;
}

UpdateRun RunUpdate(bool batch, std::vector<Step> before, Program program) {
  CCardWindow window(program);
  window.m_bBatch = batch;
  before.push_back(std::wstring(Click(IDC_START_UPDATE)));
  TakeOutput();
  SetScript(before);
  window.DoModal();
  UpdateRun run;
  run.output = TakeOutput();
  run.status = window.GetStatusText().str();
  return run;
}

UpdateRun RunUpdateJobOnly(bool batch, Program program) {
  JOBPARAM job;
  ReadCredentialsFile(job.strSerial, job.strPassword);
  job.bUpdateNews = TRUE;
  job.bBatch = batch;
  SetProgramPath(program, job.szModulePath);
  CRecordingReporter reporter;
  RunUpdateJob(&job, reporter);
  return {reporter.output, reporter.log, reporter.transfersPaused, reporter.progressWhilePaused};
}

std::unique_ptr<ServerProcess> StartServer(const ServerData& data, std::vector<std::string> extra) {
  std::vector<std::string> arguments = data.Arguments();
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  auto server = std::make_unique<ServerProcess>(arguments);
  setenv("KORAL70_UPDATE_URL", server->BaseUrl().c_str(), 1);
  LoadServerAddresses();
  unsetenv("http_proxy");
  unsetenv("HTTP_PROXY");
  return server;
}

std::vector<int> FetchedIndexes(const ServerProcess& server) {
  std::vector<int> indexes;
  const std::string marker = "REQ POST /script/get.php f=";
  for (const auto& line : server.Log())
    if (line.rfind(marker, 0) == 0) indexes.push_back(std::atoi(line.c_str() + marker.size()));
  return indexes;
}

}  // namespace testing_support
