// When a grid point and a point of a spectrum are the same point: the grid
// point then takes that point's value as it is.
#pragma once

#include <algorithm>
#include <cmath>

namespace jcamp {

// How far from a point of a spectrum, whose neighbours lie step away, a grid
// point still coincides with it; scale: the largest size of the spectrum's
// abscissas. Abscissas computed by different routes (an even grid's formula,
// a unit conversion, a float stored by the table) differ in their last bits:
// a millionth of the step, or the rounding of a float abscissa (2^-23 of the
// scale), but never beyond a thousandth of the step, where interpolating
// would change the value visibly.
inline double coincidenceRoom(double scale, double step) {
  return std::min(1e-3 * step, std::max(1e-6 * step, 0x1p-23 * std::fabs(scale)));
}

inline bool coincide(double x, double point, double step) {
  return std::fabs(x - point) <= coincidenceRoom(point, step);  // false for NaN
}

}  // namespace jcamp
