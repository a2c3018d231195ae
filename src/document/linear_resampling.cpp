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

void EvenPlacement::prepare(const EvenSpectrum& spectrum, const GridPoints& grid) {
  const bool placed = grid_ == &grid && first_ == spectrum.first && step_ == spectrum.step &&
                      count_ == spectrum.count && conversion_.op == spectrum.conversion.op &&
                      conversion_.factor == spectrum.conversion.factor;
  if (placed) return;
  grid_ = &grid;
  first_ = spectrum.first;
  step_ = spectrum.step;
  count_ = spectrum.count;
  conversion_ = spectrum.conversion;
  place(spectrum, grid);
}

// Column c lies u = j + t_s of the way along the points (in the spectrum's
// units). Without a conversion or under a factor the spectrum stays even and
// u is a straight line in c on an even grid; under a reciprocal (wavenumbers
// and wavelengths, x = f / s) the share of the way from point j to j + 1 in
// the grid's units is t_s * s1 / s.
void EvenPlacement::place(const EvenSpectrum& spectrum, const GridPoints& grid) {
  const uint32_t n = spectrum.count;
  const XConversion& conversion = spectrum.conversion;
  const double first = spectrum.first;
  const double step = spectrum.step;
  const auto at = [&](uint32_t i) { return conversion.apply(first + i * step); };
  const double scale = std::max(std::fabs(at(0)), std::fabs(at(n - 1)));
  const bool reciprocal = conversion.op == XConversion::Op::kReciprocal;
  // A column within room of a point takes it: this share of the narrowest
  // interval in the grid's units (all are alike unless reciprocal).
  const double narrowest = std::min(std::fabs(at(1) - at(0)), std::fabs(at(n - 1) - at(n - 2)));
  const double near = coincidenceRoom(scale, narrowest) / narrowest;
  const double gridStep = conversion.apply(step);  // reciprocal: unused
  const bool straight = grid.even && !reciprocal;
  const double u0 = straight ? (grid.first - at(0)) / gridStep : 0.0;
  const double du = straight ? grid.step / gridStep : 0.0;
  const double lastInterval = static_cast<double>(n - 1);
  point_.assign(grid.size, kOutside);
  share_.assign(grid.size, 0.0);
  inside_ = 0;
  for (uint32_t c = 0; c < grid.size; ++c) {
    const double x = grid.byColumn[c];
    const double inOwnUnits = reciprocal ? conversion.apply(x) : 0.0;
    double u = 0;
    if (straight) {
      u = u0 + static_cast<double>(c) * du;
    } else if (reciprocal) {
      u = (inOwnUnits - first) / step;
    } else {
      u = (x - at(0)) / gridStep;
    }
    uint32_t point = kOutside;
    double share = 0;
    if (u >= 0.0 && u < lastInterval) {
      const auto j = static_cast<uint32_t>(u);
      const double t = reciprocal ? (u - j) * (first + (j + 1) * step) / inOwnUnits : u - j;
      point = t <= near ? j : t >= 1.0 - near ? j + 1 : j;
      share = t <= near || t >= 1.0 - near ? 0.0 : t;
    } else if (u < 0.0 && coincide(x, at(0), std::fabs(at(1) - at(0)))) {
      point = 0;
    } else if (u >= lastInterval && coincide(x, at(n - 1), std::fabs(at(n - 1) - at(n - 2)))) {
      point = n - 1;
    }
    point_[c] = point;
    share_[c] = share;
    inside_ += point != kOutside ? 1u : 0u;
  }
}

uint32_t EvenPlacement::fill(const float* y, const ColumnOut& out) const {
  const auto columns = static_cast<uint32_t>(point_.size());
  const bool heldOnly = std::none_of(y, y + count_, isMissingValue);
  uint32_t missing = columns - inside_;
  const uint32_t written = std::min(columns, out.count);
  for (uint32_t c = 0; c < written; ++c) {
    const uint32_t point = point_[c];
    float value = kMissingValue;
    if (point == kOutside) {
      value = kMissingValue;
    } else if (share_[c] == 0.0) {
      value = y[point];
      if (!heldOnly && isMissingValue(value)) ++missing;
    } else if (heldOnly || (!isMissingValue(y[point]) && !isMissingValue(y[point + 1]))) {
      // On the straight line, in one fixed order of double operations.
      const double from = y[point];
      value = narrowToFloat(from + share_[c] * (static_cast<double>(y[point + 1]) - from));
    } else {
      ++missing;
    }
    out.out[c] = value;
  }
  // The grid's columns the matrix does not hold count for the coverage all the same.
  for (uint32_t c = written; c < columns && !heldOnly; ++c) {
    const uint32_t point = point_[c];
    if (point == kOutside) continue;
    const bool ends =
        isMissingValue(y[point]) || (share_[c] != 0.0 && isMissingValue(y[point + 1]));
    if (ends) ++missing;
  }
  return columns - missing;
}

uint32_t interpolateEvenOnto(const EvenSpectrum& spectrum, const GridPoints& grid,
                             const ColumnOut& out, EvenPlacement& placement) {
  if (spectrum.count < 2 || !(spectrum.step != 0.0)) {
    out.fill(kMissingValue);
    return 0;
  }
  placement.prepare(spectrum, grid);
  return placement.fill(spectrum.y, out);
}

}  // namespace jcamp
