#include "tests/update/update_window.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>

#include "core/product.h"
#include "res/resource.h"
#include "tests/support/environment.h"

namespace testing_support {

BOOL CCardWindow::OnInitDialog() {
  const BOOL result = CHalyardDlg::OnInitDialog();
  const std::wstring program =
      m_program == Program::kOnCard ? (std::filesystem::current_path() / "koral70.exe").wstring() : L"";
  const size_t length = std::min(program.size(), std::size(m_szModulePath) - 1);
  std::copy_n(program.begin(), length, m_szModulePath);
  m_szModulePath[length] = L'\0';
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
