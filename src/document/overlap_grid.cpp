#include "document/overlap_grid.h"

#include <algorithm>
#include <cmath>

#include "jcampimport.h"
#include "labels/data_types.h"

namespace jcamp {
namespace {

// Points of the range at the step: ratios a hair above a whole number are that number.
constexpr double kWholeSlack = 1e-9;

struct Range {
  double low = 0;
  double high = 0;
};

bool hasRange(const BlockAxis& block) {
  return block.firstX != kUnsetDouble && block.lastX != kUnsetDouble &&
         std::isfinite(block.firstX) && std::isfinite(block.lastX);
}

// The block's range in the grid's units; false when its units do not convert.
bool rangeIn(const BlockAxis& block, const XUnits& units, Range& range, XConversion& conversion) {
  std::string reason;
  if (!conversionBetween(xUnitsOf(block.xUnits.c_str()), units, block.observeFrequency, conversion,
                         reason)) {
    return false;
  }
  const double a = conversion.apply(block.firstX);
  const double b = conversion.apply(block.lastX);
  if (!std::isfinite(a) || !std::isfinite(b)) return false;
  range = {std::min(a, b), std::max(a, b)};
  return true;
}

// The finest distance between neighbouring points of a continuous block, in
// the grid's units; 0 when it has none (a peak table, fewer than two points).
double finestStep(const BlockAxis& block, const XConversion& conversion) {
  const bool peaks = block.pairs && (block.peakTable || isPeakDataType(block.dataType));
  if (peaks || block.nPoints < 2 || block.firstX == block.lastX) return 0.0;
  const double step = (block.lastX - block.firstX) / (block.nPoints - 1);
  const double atFirst =
      std::fabs(conversion.apply(block.firstX + step) - conversion.apply(block.firstX));
  const double atLast =
      std::fabs(conversion.apply(block.lastX) - conversion.apply(block.lastX - step));
  const double finest = std::min(atFirst, atLast);
  return std::isfinite(finest) ? finest : 0.0;
}

uint32_t pointsAcross(const Range& range, double step) {
  if (!(range.high > range.low)) return 1;
  const double intervals = std::ceil((range.high - range.low) / step - kWholeSlack);
  if (!(intervals < JCAMP_GRID_MOST_POINTS - 1)) return JCAMP_GRID_MOST_POINTS;
  return static_cast<uint32_t>(intervals) + 1;
}

}  // namespace

MatrixAxis overlapAxis(const std::vector<std::vector<BlockAxis>>& files) {
  MatrixAxis axis;
  const BlockAxis* first = nullptr;
  for (const auto& blocks : files) {
    if (first == nullptr && !blocks.empty()) first = &blocks.front();
  }
  if (first == nullptr) return axis;
  const XUnits units = xUnitsOf(first->xUnits.c_str());
  bool started = false;
  bool falling = false;
  Range overlap;
  double step = 0.0;
  for (const auto& blocks : files) {
    for (const BlockAxis& block : blocks) {
      Range range;
      XConversion conversion;
      if (!hasRange(block) || !rangeIn(block, units, range, conversion)) continue;
      if (!started) {
        started = true;
        falling = conversion.apply(block.firstX) > conversion.apply(block.lastX);
        overlap = range;
      } else {
        const Range shared{std::max(overlap.low, range.low), std::min(overlap.high, range.high)};
        if (shared.low > shared.high) continue;
        overlap = shared;
      }
      const double own = finestStep(block, conversion);
      if (own > 0 && (step == 0.0 || own < step)) step = own;
    }
  }
  if (!started) return axis;
  if (step == 0.0) step = 1.0;
  const uint32_t count = pointsAcross(overlap, step);
  axis.grid = falling ? XGrid::even(overlap.high, overlap.low, count)
                      : XGrid::even(overlap.low, overlap.high, count);
  axis.xUnits = units;
  return axis;
}

}  // namespace jcamp
