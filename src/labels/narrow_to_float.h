// Doubles stored as floats (scaled ordinates, abscissas, names).
#pragma once

#include <limits>

namespace jcamp {

// value as a float, without the undefined behaviour of converting a double
// beyond the float range: such a value becomes an infinity of its sign.
inline float narrowToFloat(double value) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (value > kLargest) return std::numeric_limits<float>::infinity();
  if (value < -kLargest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

}  // namespace jcamp
