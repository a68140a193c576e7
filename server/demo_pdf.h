// A small valid one-page PDF, the demo's user manual.
#pragma once

#include <string>
#include <vector>

namespace koral_server {

// lines: plain ASCII text, one line each, top to bottom.
std::string MakeDemoPdf(const std::vector<std::string>& lines);

}  // namespace koral_server
