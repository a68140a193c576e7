// MD5 of a file, through OpenSSL's digest interface.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

namespace koral_server {

using Md5Digest = std::array<std::uint8_t, 16>;

// False when the file cannot be opened or read.
bool Md5OfFile(const std::filesystem::path& path, Md5Digest& digest);

}  // namespace koral_server
