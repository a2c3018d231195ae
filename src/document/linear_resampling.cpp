#include "document/linear_resampling.h"

#include <algorithm>
#include <cmath>

#include "document/coincidence.h"
#include "labels/markers.h"
#include "labels/narrow_to_float.h"

namespace jcamp {

uint32_t interpolateOnto(const BlockPoints& spectrum, const GridPoints& grid,
                         const ColumnOut& out) {
  out.fill(kMissingValue);
  const size_t n = spectrum.size();
  if (n == 0) return 0;
  const double* sx = spectrum.x();
  const float* sy = spectrum.y();
  const std::vector<double>& gx = grid.rising;
  const size_t m = gx.size();
  uint32_t filled = 0;
  const auto put = [&](size_t k, float value) {
    if (isMissingValue(value)) return;
    out.set(grid.columns[k], value);
    ++filled;
  };
  const double scale = std::max(std::fabs(sx[0]), std::fabs(sx[n - 1]));
  const double firstRoom = coincidenceRoom(scale, n > 1 ? sx[1] - sx[0] : 0.0);
  const double lastRoom = coincidenceRoom(scale, n > 1 ? sx[n - 1] - sx[n - 2] : 0.0);
  size_t k = 0;
  // Grid points below the spectrum: only one that coincides with its first point.
  for (; k < m && gx[k] < sx[0]; ++k) {
    if (sx[0] - gx[k] <= firstRoom) put(k, sy[0]);
  }
  // Interval by interval: the grid points in [x0, x1).
  for (size_t j = 0; j + 1 < n && k < m; ++j) {
    const double x0 = sx[j];
    const double x1 = sx[j + 1];
    if (!(gx[k] < x1)) continue;
    const double width = x1 - x0;
    const double room = coincidenceRoom(scale, width);
    const double y0 = sy[j];
    const double y1 = sy[j + 1];
    const bool bothHeld = !isMissingValue(sy[j]) && !isMissingValue(sy[j + 1]);
    for (; k < m && gx[k] < x1; ++k) {
      const double x = gx[k];
      if (x - x0 <= room) {
        put(k, sy[j]);
      } else if (x1 - x <= room) {
        put(k, sy[j + 1]);
      } else if (bothHeld) {
        // On the straight line, in one fixed order of double operations.
        const double t = (x - x0) / width;
        put(k, narrowToFloat(y0 + t * (y1 - y0)));
      }
    }
  }
  // At or above the last point: only those that coincide with it.
  for (; k < m; ++k) {
    if (gx[k] - sx[n - 1] <= lastRoom) put(k, sy[n - 1]);
  }
  return filled;
}

namespace {

// interpolateEvenOnto's walk over the columns. Without missing ordinates
// (kHeldOnly) the common case runs without testing for them; the results are
// the same either way.
template <bool kHeldOnly>
class ColumnWalk {
 public:
  ColumnWalk(const EvenSpectrum& spectrum, const GridPoints& grid, const ColumnOut& out)
      : spectrum_(spectrum), grid_(grid), out_(out), y_(spectrum.y), n_(spectrum.count) {
    const XConversion& conversion = spectrum.conversion;
    const double first = conversion.apply(spectrum.first);
    const double last =
        conversion.apply(spectrum.first + static_cast<double>(n_ - 1) * spectrum.step);
    scale_ = std::max(std::fabs(first), std::fabs(last));
  }

  // A conversion that keeps the spectrum even (none, or a factor): each
  // column's place among its points, u = j + t, is on an even grid a straight
  // line in c, without a division.
  uint32_t linear() {
    const double a = spectrum_.conversion.apply(spectrum_.first);
    const double b = spectrum_.conversion.apply(spectrum_.step);
    const double width = std::fabs(b);
    const double near = coincidenceRoom(scale_, width) / width;
    const bool even = grid_.even;
    const double u0 = even ? (grid_.first - a) / b : 0.0;
    const double du = even ? grid_.step / b : 0.0;
    for (uint32_t c = 0; c < grid_.size; ++c) {
      const double u = even ? u0 + static_cast<double>(c) * du : (grid_.byColumn[c] - a) / b;
      float value = kMissingValue;
      const double lastInterval = static_cast<double>(n_ - 1);
      if (u >= 0.0 && u < lastInterval) {
        const auto j = static_cast<uint32_t>(u);
        value = between(j, u - j, near);
      } else if (u < 0.0 && u >= -near) {
        value = take(y_[0]);
      } else if (u >= lastInterval && u <= lastInterval + near) {
        value = take(y_[n_ - 1]);
      } else {
        ++missing_;  // beyond the spectrum, or a column without a point
      }
      out_.set(c, value);
    }
    return grid_.size - missing_;
  }

  // A reciprocal conversion (wavenumbers and wavelengths, x = f / s): each
  // column is placed among the spectrum's points in their own units, then
  // interpolated between their abscissas in the grid's. There the share of
  // the way from s0 to s1 is t_s * s1 / s (t_s the share in the spectrum's
  // units): no division. The points are unevenly spaced there; a column
  // coincides with one within the room its narrowest interval gives.
  uint32_t reciprocal(const ReciprocalGrid& grid) {
    const XConversion& conversion = spectrum_.conversion;
    const double first = spectrum_.first;
    const double step = spectrum_.step;
    const double perStep = 1.0 / step;
    const auto at = [&](uint32_t i) { return conversion.apply(first + i * step); };
    const double lastInterval = static_cast<double>(n_ - 1);
    const double narrowest = std::min(std::fabs(at(1) - at(0)), std::fabs(at(n_ - 1) - at(n_ - 2)));
    const double near = coincidenceRoom(scale_, narrowest) / narrowest;
    const double* source = grid.inSpectrumUnits();
    const double* overFactor = grid.overFactor();
    for (uint32_t c = 0; c < grid_.size; ++c) {
      const double u = (source[c] - first) * perStep;
      float value = kMissingValue;
      if (u >= 0.0 && u < lastInterval) {
        const auto j = static_cast<uint32_t>(u);
        const double s1 = first + (j + 1) * step;
        value = between(j, (u - j) * s1 * overFactor[c], near);
      } else if (u < 0.0 && coincide(grid_.byColumn[c], at(0), std::fabs(at(1) - at(0)))) {
        value = take(y_[0]);
      } else if (u >= lastInterval &&
                 coincide(grid_.byColumn[c], at(n_ - 1), std::fabs(at(n_ - 1) - at(n_ - 2)))) {
        value = take(y_[n_ - 1]);
      } else {
        ++missing_;
      }
      out_.set(c, value);
    }
    return grid_.size - missing_;
  }

 private:
  float take(float value) {
    if (!kHeldOnly) missing_ += isMissingValue(value) ? 1u : 0u;
    return value;
  }

  // The value t of the way from point j to point j + 1, or the point's own
  // within near of it.
  float between(uint32_t j, double t, double near) {
    const float y0 = y_[j];
    const float y1 = y_[j + 1];
    if (t <= near) return take(y0);
    if (t >= 1.0 - near) return take(y1);
    if (!kHeldOnly && (isMissingValue(y0) || isMissingValue(y1))) {
      ++missing_;
      return kMissingValue;
    }
    // On the straight line, in one fixed order of double operations.
    const double from = y0;
    return narrowToFloat(from + t * (static_cast<double>(y1) - from));
  }

  const EvenSpectrum& spectrum_;
  const GridPoints& grid_;
  const ColumnOut& out_;
  const float* y_;
  const uint32_t n_;
  double scale_ = 0;
  uint32_t missing_ = 0;  // columns of the grid without a value (also those not written)
};

template <bool kHeldOnly>
uint32_t walkColumns(const EvenSpectrum& spectrum, const GridPoints& grid, const ColumnOut& out,
                     ReciprocalGrid& reciprocal) {
  ColumnWalk<kHeldOnly> walk(spectrum, grid, out);
  if (spectrum.conversion.op != XConversion::Op::kReciprocal) return walk.linear();
  reciprocal.prepare(grid, spectrum.conversion);
  return walk.reciprocal(reciprocal);
}

}  // namespace

void ReciprocalGrid::prepare(const GridPoints& grid, const XConversion& conversion) {
  if (grid_ == &grid && factor_ == conversion.factor) return;
  grid_ = &grid;
  factor_ = conversion.factor;
  inSpectrumUnits_.resize(grid.size);
  overFactor_.resize(grid.size);
  for (uint32_t c = 0; c < grid.size; ++c) {
    inSpectrumUnits_[c] = conversion.apply(grid.byColumn[c]);
    overFactor_[c] = grid.byColumn[c] / conversion.factor;
  }
}

uint32_t interpolateEvenOnto(const EvenSpectrum& spectrum, const GridPoints& grid,
                             const ColumnOut& out, ReciprocalGrid& reciprocal) {
  if (spectrum.count < 2 || !(spectrum.step != 0.0)) {
    out.fill(kMissingValue);
    return 0;
  }
  const float* y = spectrum.y;
  const bool heldOnly = std::none_of(y, y + spectrum.count, isMissingValue);
  return heldOnly ? walkColumns<true>(spectrum, grid, out, reciprocal)
                  : walkColumns<false>(spectrum, grid, out, reciprocal);
}

}  // namespace jcamp
