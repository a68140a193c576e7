#include "server/accounts.h"

#include <cstdio>
#include <sstream>

namespace koral_server {

void AccountBook::Load(const fs::path& accountsFile) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_accounts.clear();
  for (const std::string& line : ReadLines(accountsFile)) {
    if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string serial, password, state;
    fields >> serial >> password >> state;
    if (state != "L" && state != "U") {
      std::fprintf(stderr, "accounts.txt: ignoring line \"%s\"\n", line.c_str());
      continue;
    }
    m_accounts[serial] = Account{password, state == "L"};
  }
}

LoginResult AccountBook::Login(const std::string& serial, const std::string& password) const {
  std::lock_guard<std::mutex> guard(m_lock);
  auto it = m_accounts.find(serial);
  if (it == m_accounts.end() || it->second.password != password) return LoginResult::Bad;
  return it->second.registered ? LoginResult::Registered : LoginResult::Unregistered;
}

void AccountBook::MarkRegistered(const std::string& serial) {
  std::lock_guard<std::mutex> guard(m_lock);
  auto it = m_accounts.find(serial);
  if (it != m_accounts.end()) it->second.registered = true;
}

}  // namespace koral_server
