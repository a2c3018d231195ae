#include "document/x_grid.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "labels/data_types.h"
#include "platform/extended_precision.h"

namespace jcamp {
namespace {

// The room an abscissa has around itself when the matrix holds a single point.
constexpr double kLoneTolerance = 1e-9;

// An even grid's abscissa i: the product is formed exactly before the
// division, as wide as the platform allows, and alike whatever x87 precision
// the host set.
double evenAt(double first, double last, uint32_t count, uint32_t i) {
  if (count <= 1) return first;
  const ExtendedPrecision extended;
  long double from = first;
  long double to = last;
  ExtendedPrecision::pin(from);
  ExtendedPrecision::pin(to);
  const long double span = to - from;
  double x = static_cast<double>(from + span * i / (count - 1));
  ExtendedPrecision::pin(x);
  return x;
}

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

XGrid XGrid::even(double first, double last, uint32_t count) {
  XGrid grid;
  grid.first_ = first;
  grid.last_ = last;
  grid.count_ = count;
  return grid;
}

double XGrid::at(uint32_t i) const {
  if (!even_) return i < points_.size() ? static_cast<double>(points_[i]) : 0.0;
  return evenAt(first_, last_, count_, i);
}

int XGrid::direction() const {
  const uint32_t points = std::min(count_, held());
  if (points < 2) return 0;
  const double rise = at(points - 1) - at(0);
  return rise > 0 ? 1 : rise < 0 ? -1 : 0;
}

GridFit fitGrid(const JcampBlock& block, const XGrid& matrix) {
  GridFit fit;
  const uint32_t n = matrix.size();
  const bool even = block.tableForm != kTableFormXyPoints;
  const float* points = block.xValues.get();
  const uint32_t held =
      even ? block.nPoints : (points != nullptr ? std::min(block.nPoints, block.tableLength) : 0);
  const auto blockAt = [&](uint32_t i) {
    if (even) return evenAt(block.firstX, block.lastX, block.nPoints, i);
    return i < held ? static_cast<double>(points[i]) : 0.0;
  };
  const uint32_t ends = std::min(block.nPoints, held);
  if (ends >= 2) {
    const double rise = blockAt(ends - 1) - blockAt(0);
    fit.reversed = (rise > 0 ? 1 : rise < 0 ? -1 : 0) * matrix.direction() < 0;
  }
  if (block.nPoints != n) {
    fit.offGrid = true;
    return fit;
  }
  const auto alignedAt = [&](uint32_t i) { return blockAt(fit.reversed ? n - 1 - i : i); };
  if (even && matrix.even()) {
    // Two straight lines differ most at their ends.
    const double tolerance = halfStep(matrix, 0);
    fit.offGrid = !near(alignedAt(0), matrix.at(0), tolerance) ||
                  !near(alignedAt(n - 1), matrix.at(n - 1), tolerance);
    return fit;
  }
  // The common case of pairs: the very abscissas of the matrix's first block.
  if (!even && !matrix.even() && !fit.reversed && held == matrix.held() &&
      (held == 0 || std::memcmp(points, matrix.points(), held * sizeof(float)) == 0)) {
    return fit;
  }
  // Past the points their tables hold, grids of pairs are all 0: a table that
  // holds fewer points than it claims does not fit a straight grid.
  const uint32_t compared = std::max(held, matrix.held());
  if (compared < n && (even || matrix.even())) {
    fit.offGrid = true;
    return fit;
  }
  const auto last = static_cast<uint32_t>(std::min<uint64_t>(n, uint64_t{compared} + 1));
  for (uint32_t i = 0; i < last && !fit.offGrid; ++i) {
    fit.offGrid = !near(alignedAt(i), matrix.at(i), halfStep(matrix, i));
  }
  return fit;
}

}  // namespace jcamp
