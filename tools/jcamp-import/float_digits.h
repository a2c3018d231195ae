// The shortest decimal that reads back to a float, found with exact integer
// arithmetic where it is quick to find: the digits std::to_chars writes, in a
// fraction of its time, for the values a spectrum holds.
#pragma once

#include <cstdint>

struct FloatDigits {
  uint32_t digits = 0;   // no trailing zero
  int32_t exponent = 0;  // the value is digits x 10^exponent
};

// The shortest decimal of |value| that reads back to it when |value| lies in
// [2^-20, 8) and that decimal has at most six decimals (ordinates scaled by
// 10^-6 and less); false otherwise, and the standard library finds it.
bool shortestDigits(float value, FloatDigits& out);
