// The Client profile's manual IPv4 address as dotted text and back. The
// value holds a.b.c.d as (a << 24) | (b << 16) | (c << 8) | d.
#pragma once

#include <cstdint>

#include "framework/afx.h"

constexpr int kIpEmpty = -1;
constexpr int kIpInvalid = -2;

// "a.b.c.d" of the value, most significant byte first.
CString FormatIpAddress(std::uint32_t value);

// Parses four decimal numbers separated by single dots, each optionally
// preceded by white space and a sign; anything after the fourth number is
// ignored. Returns 0 and sets value, kIpEmpty for an empty text, or
// kIpInvalid when fewer than four numbers match or one lies outside 0..255.
// On an error the value is left untouched.
int ParseIpAddress(const CString& text, std::uint32_t& value);
