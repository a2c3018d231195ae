// The shortest decimal that reads back to a float, found with exact integer
// arithmetic where it is quick to find: the digits std::to_chars writes, in a
// fraction of its time, for the values a spectrum holds.
#pragma once

#include <cstdint>

// When |value| lies in [2^-20, 8) and its shortest decimal has at most six
// decimals (ordinates scaled by 10^-6 and less): that decimal times 10^6,
// trailing zeros included. False otherwise: the standard library finds it.
bool shortestSixDecimals(float value, uint32_t& millionths);
