// Shared set-up of the registration tests: a card folder as the current
// directory, the user's private temporary folder inside it, and a reference
// server with a card account.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/cstring.h"
#include "tests/support/process.h"
#include "tests/support/temp_card.h"

namespace register_tests {

constexpr const char* kSerial = "123456789";
constexpr const char* kPassword = "secret";

// Points the user's temporary folder into a card folder for one test and
// restores the environment afterwards.
class PrivateTemp {
 public:
  PrivateTemp();
  ~PrivateTemp();
  const testing_support::TempCard& Card() const { return m_card; }
  // The private folder that GetTempPathW names, with a trailing '/'.
  std::string Folder() const;
  // The policy folder inside it, without a trailing separator.
  std::string PolicyFolder() const;

 private:
  testing_support::TempCard m_card;
  std::string m_savedTmpdir, m_savedRuntime;
  bool m_hadTmpdir = false, m_hadRuntime = false;
};

// A data folder for the reference server (made by --make-demo) whose only
// account is the test card in the given state ('L' or 'U').
std::string MakeServerData(const std::string& parent, char accountState);

// Starts the server on that data and points the client's two base URLs at
// it; the URLs are unset again when the server goes.
class TestServer {
 public:
  TestServer(const std::string& data, const std::vector<std::string>& extra = {});
  ~TestServer();
  testing_support::ServerProcess& Process() { return *m_server; }
  std::string Data() const { return m_data; }
  // Log lines of the requests for exactly this path ("REQ <method> <path> ...").
  std::vector<std::string> Requests(const std::string& path) const;
  // Waits until the log holds count requests for exactly this path.
  bool WaitForRequest(const std::string& path, size_t count = 1) const;
  // The registration the server stored for the test card, "" when none.
  std::string Registration() const;

 private:
  std::string m_data;
  std::unique_ptr<testing_support::ServerProcess> m_server;
};

// The settings of the active (innermost) dialog's control.
CString ControlText(int id);
bool ControlEnabled(int id);

// Values for every field of the registration form, each filled.
struct FormValues {
  std::wstring name = L"Taro Yamada", company = L"Garage Ltd", address1 = L"1-2-3 Shiba",
               address2 = L"Minato-ku", phone = L"03-1234-5678", fax = L"03-1234-5679",
               email = L"taro@example.com", zip = L"1050011", distributor = L"Parts Shop";
};
// Script commands that fill the form.
std::vector<std::wstring> FillForm(const FormValues& values);

}  // namespace register_tests
