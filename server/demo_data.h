// --make-demo: a complete data folder to try the client against.
#pragma once

#include <filesystem>

namespace koral_server {

// Writes (or overwrites) the demo's files below folder; false on a write failure.
bool WriteDemoFolder(const std::filesystem::path& folder);

}  // namespace koral_server
