// The cards the server knows: serial, password and whether the owner is
// registered. Loaded once at start; a registration marks the card registered
// for the rest of the run.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "server/data_folder.h"

namespace koral_server {

enum class LoginResult { Bad, Registered, Unregistered };

class AccountBook {
 public:
  // Reads lines "serial password state" (state L or U); blank lines and lines
  // starting with '#' are skipped, malformed ones reported on stderr.
  void Load(const fs::path& accountsFile);

  LoginResult Login(const std::string& serial, const std::string& password) const;
  void MarkRegistered(const std::string& serial);

 private:
  struct Account {
    std::string password;
    bool registered = false;
  };
  mutable std::mutex m_lock;
  std::map<std::string, Account> m_accounts;
};

}  // namespace koral_server
