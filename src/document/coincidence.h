// When two abscissas name the same point of a spectrum: a grid point that
// coincides with a point of the spectrum takes that point's value as it is.
#pragma once

#include <algorithm>
#include <cmath>

namespace jcamp {

// Abscissas computed by different routes (an even grid's formula, a unit
// conversion, a float stored by the table) differ in their last bits: they
// coincide within a millionth of the step around them, or within the rounding
// of a float abscissa (2^-23 of their size), but never beyond a thousandth of
// the step, where interpolating would change the value visibly.
inline bool coincide(double a, double b, double step) {
  const double rounding = 0x1p-23 * std::max(std::fabs(a), std::fabs(b));
  const double room = std::min(1e-3 * step, std::max(1e-6 * step, rounding));
  return std::fabs(a - b) <= room;  // false for NaN
}

}  // namespace jcamp
