#include "document/grid_points.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace jcamp {

GridPoints GridPoints::of(const XGrid& grid) {
  GridPoints points;
  points.size = grid.size();
  points.even = grid.even() && grid.size() >= 2;
  if (points.even) {
    points.first = grid.at(0);
    points.step = (grid.at(grid.size() - 1) - points.first) / (grid.size() - 1);
  }
  const uint32_t held = std::min(grid.size(), grid.held());
  std::vector<double> x(held);
  for (uint32_t i = 0; i < held; ++i) x[i] = grid.at(i);
  std::vector<uint32_t> order(held);
  std::iota(order.begin(), order.end(), 0u);
  if (grid.direction() < 0) {
    std::reverse(order.begin(), order.end());
  }
  // An even grid is sorted once reversed; a table of pairs may be in any order.
  if (!std::is_sorted(order.begin(), order.end(),
                      [&x](uint32_t a, uint32_t b) { return x[a] < x[b]; })) {
    std::stable_sort(order.begin(), order.end(),
                     [&x](uint32_t a, uint32_t b) { return x[a] < x[b]; });
  }
  points.byColumn.assign(points.size, std::numeric_limits<double>::quiet_NaN());
  points.rising.reserve(held);
  points.columns.reserve(held);
  for (uint32_t column : order) {
    if (!std::isfinite(x[column])) continue;
    points.rising.push_back(x[column]);
    points.columns.push_back(column);
    points.byColumn[column] = x[column];
  }
  return points;
}

double GridPoints::stepAt(size_t k) const {
  const size_t n = rising.size();
  if (n < 2) return 0.0;
  const double before = k > 0 ? rising[k] - rising[k - 1] : HUGE_VAL;
  const double after = k + 1 < n ? rising[k + 1] - rising[k] : HUGE_VAL;
  return std::min(before, after);
}

}  // namespace jcamp
