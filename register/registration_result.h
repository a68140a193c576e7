// What became of the owner's details sent with the registration form.
#pragma once

#include <cstdint>

constexpr std::int32_t kRegistrationDone = 0;       // sent, and the server confirmed them
constexpr std::int32_t kRegistrationNotSent = -1;   // the transfer failed
constexpr std::int32_t kRegistrationBadLength = -2;  // the reply was not 5 bytes long
constexpr std::int32_t kRegistrationRefused = -3;   // 5 bytes, but not " Done"
