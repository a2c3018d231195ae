#include "document/linear_resampling.h"

#include <algorithm>

#include "document/coincidence.h"
#include "labels/markers.h"
#include "labels/narrow_to_float.h"

namespace jcamp {
namespace {

// The value at x between points (x0, y0) and (x1, y1), x0 < x < x1.
float between(double x, double x0, double y0, double x1, double y1) {
  const double t = (x - x0) / (x1 - x0);
  return narrowToFloat(y0 + t * (y1 - y0));
}

}  // namespace

uint32_t interpolateOnto(const BlockPoints& spectrum, const GridPoints& grid, float* dense) {
  std::fill(dense, dense + grid.size, kMissingValue);
  const size_t n = spectrum.size();
  if (n == 0) return 0;
  const double* sx = spectrum.x();
  const float* sy = spectrum.y();
  // The spectrum's step around point j, for telling whether a grid point coincides with it.
  const auto stepAt = [&](size_t j) {
    if (n < 2) return 0.0;
    return j + 1 < n ? sx[j + 1] - sx[j] : sx[j] - sx[j - 1];
  };
  uint32_t filled = 0;
  size_t j = 0;  // sx[j] <= x < sx[j + 1] once x reaches the spectrum
  for (size_t k = 0; k < grid.rising.size(); ++k) {
    const double x = grid.rising[k];
    while (j + 1 < n && sx[j + 1] <= x) ++j;
    float value = kMissingValue;
    const bool inside = j + 1 < n && sx[j] <= x;
    if (j + 1 < n && coincide(x, sx[j + 1], stepAt(j))) {
      value = sy[j + 1];
    } else if (coincide(x, sx[j], stepAt(j))) {
      value = sy[j];
    } else if (inside && !isMissingValue(sy[j]) && !isMissingValue(sy[j + 1])) {
      value = between(x, sx[j], sy[j], sx[j + 1], sy[j + 1]);
    }
    if (isMissingValue(value)) continue;
    dense[grid.columns[k]] = value;
    ++filled;
  }
  return filled;
}

}  // namespace jcamp
