#include "server/options.h"

#include <cstdlib>

namespace koral_server {

const char* UsageText() {
  return "usage: koral70-server --data DIR [--port N] [--fault SPEC]... [--client-update-once]\n"
         "       koral70-server --make-demo DIR\n";
}

bool ParseCommandLine(int argc, char** argv, ServerOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--client-update-once") {
      options.clientUpdateOnce = true;
      continue;
    }
    if (name != "--data" && name != "--port" && name != "--fault" && name != "--make-demo") {
      error = "unknown option " + name;
      return false;
    }
    if (i + 1 >= argc) {
      error = name + " needs a value";
      return false;
    }
    const std::string value = argv[++i];
    if (name == "--data") {
      options.dataFolder = value;
    } else if (name == "--fault") {
      options.faults.push_back(value);
    } else if (name == "--make-demo") {
      options.demoFolder = value;
    } else {
      char* end = nullptr;
      long port = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || port < 0 || port > 65535) {
        error = "bad port " + value;
        return false;
      }
      options.port = static_cast<int>(port);
    }
  }
  if (options.dataFolder.empty() && options.demoFolder.empty()) {
    error = "--data DIR is required";
    return false;
  }
  return true;
}

}  // namespace koral_server
