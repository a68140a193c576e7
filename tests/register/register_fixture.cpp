#include "tests/register/register_fixture.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/product.h"
#include "framework/dialog.h"
#include "platform/system.h"
#include "res/resource.h"
#include "tests/support/automation.h"
#include "tests/support/environment.h"

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::RunProcess;
using testing_support::ServerBinary;
using testing_support::Set;
using testing_support::WriteFile;

namespace register_tests {
namespace {
void Restore(const char* name, bool had, const std::string& value) {
  if (had)
    setenv(name, value.c_str(), 1);
  else
    unsetenv(name);
}

bool Save(const char* name, std::string& value) {
  const char* v = std::getenv(name);
  if (v) value = v;
  return v != nullptr;
}
}  // namespace

#ifdef _WIN32
// GetTempPathW takes the folder from TMP first.
constexpr const char* kTempVariable = "TMP";
#else
constexpr const char* kTempVariable = "TMPDIR";
#endif

PrivateTemp::PrivateTemp() {
  m_hadTmpdir = Save(kTempVariable, m_savedTmpdir);
  m_hadRuntime = Save("XDG_RUNTIME_DIR", m_savedRuntime);
  fs::create_directory(m_card.Path() + "/tmp");
  setenv(kTempVariable, (m_card.Path() + "/tmp").c_str(), 1);
  unsetenv("XDG_RUNTIME_DIR");
  // The platform creates the folder with the right mode on first use.
  wchar_t folder[MAX_PATH];
  EXPECT_GT(GetTempPathW(MAX_PATH, folder), 0u);
}

PrivateTemp::~PrivateTemp() {
  Restore(kTempVariable, m_hadTmpdir, m_savedTmpdir);
  Restore("XDG_RUNTIME_DIR", m_hadRuntime, m_savedRuntime);
}

std::string PrivateTemp::Folder() const {
#ifdef _WIN32
  return m_card.Path() + "/tmp/";
#else
  return m_card.Path() + "/tmp/koral70-" + std::to_string(getuid()) + "/";
#endif
}

std::string PrivateTemp::PolicyFolder() const { return Folder() + "RIVETBOX_KORAL70_3.4.0"; }

std::string MakeServerData(const std::string& parent, char accountState) {
  const std::string data = parent + "/server-data";
  const auto made = RunProcess({ServerBinary(), "--make-demo", data}, "", parent, {}, 30);
  EXPECT_EQ(made.exitCode, 0) << made.err;
  WriteFile(data + "/accounts.txt",
            std::string(kSerial) + " " + kPassword + " " + accountState + "\n");
  return data;
}

TestServer::TestServer(const std::string& data, const std::vector<std::string>& extra)
    : m_data(data) {
  std::vector<std::string> arguments = {"--data", data};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  m_server = std::make_unique<testing_support::ServerProcess>(arguments);
  EXPECT_TRUE(m_server->Started());
  setenv("KORAL70_UPDATE_URL", m_server->BaseUrl().c_str(), 1);
  setenv("KORAL70_POLICY_URL", m_server->BaseUrl().c_str(), 1);
  LoadServerAddresses();
}

TestServer::~TestServer() {
  unsetenv("KORAL70_UPDATE_URL");
  unsetenv("KORAL70_POLICY_URL");
  LoadServerAddresses();
}

std::vector<std::string> TestServer::Requests(const std::string& path) const {
  std::vector<std::string> found;
  for (const auto& line : m_server->Log()) {
    if (line.rfind("REQ ", 0) != 0) continue;
    const size_t start = line.find(' ', 4);
    if (start == std::string::npos) continue;
    const size_t end = line.find(' ', start + 1);
    if (line.substr(start + 1, end == std::string::npos ? end : end - start - 1) == path)
      found.push_back(line);
  }
  return found;
}

bool TestServer::WaitForRequest(const std::string& path, size_t count) const {
  for (int waited = 0; waited < 5000; waited += 20) {
    if (Requests(path).size() >= count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

std::string TestServer::Registration() const {
  return ReadFile(m_data + "/received/registrations/" + kSerial + ".txt");
}

CString ControlText(int id) {
  CString text;
  if (CDialog* dialog = afx::ActiveDialog())
    if (CWnd* control = dialog->GetDlgItem(id)) control->GetWindowText(text);
  return text;
}

bool ControlEnabled(int id) {
  CDialog* dialog = afx::ActiveDialog();
  CWnd* control = dialog ? dialog->GetDlgItem(id) : nullptr;
  return control && control->IsWindowEnabled();
}

std::vector<std::wstring> FillForm(const FormValues& v) {
  return {Set(IDC_REG_NAME, v.name),         Set(IDC_REG_COMPANY, v.company),
          Set(IDC_REG_ADDRESS1, v.address1), Set(IDC_REG_ADDRESS2, v.address2),
          Set(IDC_REG_PHONE, v.phone),       Set(IDC_REG_FAX, v.fax),
          Set(IDC_REG_EMAIL, v.email),       Set(IDC_REG_ZIP, v.zip),
          Set(IDC_REG_DISTRIBUTOR, v.distributor)};
}

}  // namespace register_tests
