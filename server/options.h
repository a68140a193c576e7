// The server's command line.
#pragma once

#include <string>
#include <vector>

namespace koral_server {

struct ServerOptions {
  std::string dataFolder;               // --data DIR
  int port = 8070;                      // --port N (0: any free port)
  std::vector<std::string> faults;      // --fault SPEC, in order
  std::string demoFolder;               // --make-demo DIR: write it and exit
  bool clientUpdateOnce = false;        // --client-update-once
};

// Parses argv. On a bad command line returns false with a message in error.
bool ParseCommandLine(int argc, char** argv, ServerOptions& options, std::string& error);

const char* UsageText();

}  // namespace koral_server
