#include "document/peak_binning.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "document/coincidence.h"
#include "labels/markers.h"
#include "labels/narrow_to_float.h"

namespace jcamp {
namespace {

constexpr size_t kNoPoint = static_cast<size_t>(-1);

// The rising index of the grid point nearest x, or kNoPoint when x lies more
// than half a step beyond the grid's ends. from: a point at or below the
// answer (the peaks come rising), moved along.
size_t nearestPoint(const GridPoints& grid, double x, size_t& from) {
  const std::vector<double>& g = grid.rising;
  const size_t m = g.size();
  while (from + 1 < m && g[from + 1] <= x) ++from;
  if (x < g[from]) {
    // Below the lowest point.
    return coincide(x, g[from], grid.stepAt(from)) || g[from] - x <= 0.5 * grid.stepAt(from)
               ? from
               : kNoPoint;
  }
  if (from + 1 == m) {
    return coincide(x, g[from], grid.stepAt(from)) || x - g[from] <= 0.5 * grid.stepAt(from)
               ? from
               : kNoPoint;
  }
  return x - g[from] <= g[from + 1] - x ? from : from + 1;
}

}  // namespace

void peakRange(const JcampBlock& block, const XConversion& conversion, const BlockPoints& peaks,
               double& low, double& high) {
  const double first = conversion.apply(block.firstX);
  const double last = conversion.apply(block.lastX);
  const bool given = block.firstX != kUnsetDouble && block.lastX != kUnsetDouble &&
                     std::isfinite(first) && std::isfinite(last);
  if (!given) {
    low = -std::numeric_limits<double>::infinity();
    high = std::numeric_limits<double>::infinity();
    return;
  }
  low = std::min(first, last);
  high = std::max(first, last);
  if (peaks.size() > 0) {
    low = std::min(low, peaks.x()[0]);
    high = std::max(high, peaks.x()[peaks.size() - 1]);
  }
}

uint32_t binOnto(const BlockPoints& peaks, double low, double high, const GridPoints& grid,
                 const ColumnOut& out) {
  out.fill(kMissingValue);
  std::vector<char> inRange(grid.rising.size(), 0);
  const size_t m = grid.rising.size();
  uint32_t filled = 0;
  for (size_t k = 0; k < m; ++k) {
    const double x = grid.rising[k];
    const double step = grid.stepAt(k);
    const bool inside =
        (x >= low || coincide(x, low, step)) && (x <= high || coincide(x, high, step));
    if (!inside) continue;
    out.set(grid.columns[k], 0.0f);
    inRange[k] = 1;
    ++filled;
  }
  if (m == 0) return filled;
  size_t from = 0;
  size_t point = kNoPoint;
  double sum = 0.0;
  const auto flush = [&] {
    if (point != kNoPoint) {
      if (inRange[point] == 0) ++filled;  // a peak beyond the block's own range
      inRange[point] = 1;
      out.set(grid.columns[point], narrowToFloat(sum));
    }
    sum = 0.0;
  };
  for (size_t i = 0; i < peaks.size(); ++i) {
    const float y = peaks.y()[i];
    if (isMissingValue(y)) continue;
    const size_t nearest = nearestPoint(grid, peaks.x()[i], from);
    if (nearest == kNoPoint) continue;
    if (nearest != point) {
      flush();
      point = nearest;
    }
    sum += static_cast<double>(y);
  }
  flush();
  return filled;
}

}  // namespace jcamp
