#include "document/x_grid.h"

#include <algorithm>
#include <cmath>

#include "labels/data_types.h"

namespace jcamp {
namespace {

// The room an abscissa has around itself when the matrix holds a single point.
constexpr double kLoneTolerance = 1e-9;

}  // namespace

XGrid XGrid::of(const JcampBlock& block) {
  XGrid grid;
  grid.count_ = block.nPoints;
  grid.first_ = block.firstX;
  grid.last_ = block.lastX;
  if (block.tableForm != kTableFormXyPoints) return grid;
  grid.even_ = false;
  // The points the table holds; ##NPOINTS= may claim far more.
  if (block.xValues) {
    const uint32_t held = std::min(block.nPoints, block.tableLength);
    grid.points_.assign(block.xValues.get(), block.xValues.get() + held);
  }
  return grid;
}

double XGrid::at(uint32_t i) const {
  if (!even_) return i < points_.size() ? points_[i] : 0.0;
  if (count_ <= 1) return first_;
  // Long double keeps the product exact before the division, as wide as the platform allows.
  const long double span = static_cast<long double>(last_) - first_;
  return static_cast<double>(first_ + span * i / (count_ - 1));
}

int XGrid::direction() const {
  const uint32_t points = std::min(count_, held());
  if (points < 2) return 0;
  const double rise = at(points - 1) - at(0);
  return rise > 0 ? 1 : rise < 0 ? -1 : 0;
}

namespace {

// Half the matrix's step around abscissa i: half the nearer neighbour's distance.
double halfStep(const XGrid& matrix, uint32_t i) {
  const uint32_t n = matrix.size();
  if (n < 2) return kLoneTolerance * std::max(1.0, std::fabs(matrix.at(0)));
  const double before = i > 0 ? std::fabs(matrix.at(i) - matrix.at(i - 1)) : HUGE_VAL;
  const double after = i + 1 < n ? std::fabs(matrix.at(i + 1) - matrix.at(i)) : HUGE_VAL;
  return 0.5 * std::min(before, after);
}

bool near(double value, double target, double tolerance) {
  return std::fabs(value - target) <= tolerance;  // false for NaN
}

}  // namespace

GridFit fitGrid(const XGrid& block, const XGrid& matrix) {
  GridFit fit;
  fit.reversed = block.direction() * matrix.direction() < 0;
  const uint32_t n = matrix.size();
  if (block.size() != n) {
    fit.offGrid = true;
    return fit;
  }
  const auto blockAt = [&](uint32_t i) { return block.at(fit.reversed ? n - 1 - i : i); };
  if (block.even() && matrix.even()) {
    // Two straight lines differ most at their ends.
    const double tolerance = halfStep(matrix, 0);
    fit.offGrid = !near(blockAt(0), matrix.at(0), tolerance) ||
                  !near(blockAt(n - 1), matrix.at(n - 1), tolerance);
    return fit;
  }
  // Past the points their tables hold, grids of pairs are all 0: a table that
  // holds fewer points than it claims does not fit a straight grid.
  const uint32_t held = std::max(block.held(), matrix.held());
  if (held < n && (block.even() || matrix.even())) {
    fit.offGrid = true;
    return fit;
  }
  const auto compared = static_cast<uint32_t>(std::min<uint64_t>(n, uint64_t{held} + 1));
  for (uint32_t i = 0; i < compared && !fit.offGrid; ++i) {
    fit.offGrid = !near(blockAt(i), matrix.at(i), halfStep(matrix, i));
  }
  return fit;
}

}  // namespace jcamp
