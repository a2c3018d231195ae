#include "document/grid_placement.h"

#include <algorithm>
#include <cmath>

#include "document/coincidence.h"
#include "labels/data_types.h"
#include "labels/page_tables.h"

namespace jcamp {
namespace {

// The distance from grid point i to its nearer neighbour; 0 for a lone point.
double stepAround(const XGrid& grid, uint32_t i) {
  const uint32_t n = grid.size();
  if (n < 2) return 0.0;
  const double before = i > 0 ? std::fabs(grid.at(i) - grid.at(i - 1)) : HUGE_VAL;
  const double after = i + 1 < n ? std::fabs(grid.at(i + 1) - grid.at(i)) : HUGE_VAL;
  return std::min(before, after);
}

// Whether the block's points are the grid's, in its order or the other way.
bool onGridExactly(const JcampBlock& block, const XGrid& grid, bool& reversed) {
  const uint32_t n = grid.size();
  reversed = false;
  if (block.nPoints != n || n == 0) return false;
  const bool even = block.tableForm != kTableFormXyPoints;
  const float* points = block.xValues.get();
  const uint32_t held =
      even ? n : (points != nullptr ? std::min(block.nPoints, block.tableLength) : 0);
  if (held < n) return false;
  const XGrid own = even ? XGrid::of(block) : XGrid();
  const auto blockAt = [&](uint32_t i) {
    return even ? own.at(i) : static_cast<double>(points[i]);
  };
  if (n >= 2) {
    const double rise = blockAt(n - 1) - blockAt(0);
    reversed = (rise > 0 ? 1 : rise < 0 ? -1 : 0) * grid.direction() < 0;
  }
  const auto fits = [&](uint32_t i) {
    return coincide(blockAt(reversed ? n - 1 - i : i), grid.at(i), stepAround(grid, i));
  };
  // Two straight lines that meet at both ends meet everywhere.
  if (even && grid.even()) return fits(0) && fits(n - 1);
  for (uint32_t i = 0; i < n; ++i) {
    if (!fits(i)) return false;
  }
  return true;
}

}  // namespace

XUnits blockXUnits(const JcampBlock& block, const ReadContext& context) {
  if (block.xUnits == nullptr && block.xVariable >= 0) {
    // An NTUPLES page: its X variable's entry in ##UNITS=.
    const std::string units(listField(valueTextOf(context, block.variableUnits), block.xVariable));
    return xUnitsOf(units.c_str());
  }
  return xUnitsOf(valueTextOf(context, block.xUnits));
}

std::string blockYUnits(const JcampBlock& block, const ReadContext& context) {
  return normalUnitsName(valueTextOf(context, block.yUnits));
}

bool holdsPeaks(const JcampBlock& block) {
  return block.tableForm == kTableFormXyPoints &&
         (block.peakTable || isPeakDataType(block.dataType));
}

GridPlacement placeOnGrid(const JcampBlock& block, const ReadContext& context,
                          const MatrixAxis& axis) {
  GridPlacement placement;
  placement.otherYUnits = axis.yUnits.has_value() && blockYUnits(block, context) != *axis.yUnits;
  const XUnits units = blockXUnits(block, context);
  const XUnits gridUnits = axis.xUnits.value_or(units);
  if (!conversionBetween(units, gridUnits, block.observeFrequency, placement.conversion,
                         placement.reason)) {
    placement.refused = true;
    return placement;
  }
  bool reversed = false;
  if (placement.conversion.same() && onGridExactly(block, axis.grid, reversed)) {
    placement.writing = reversed ? RowWriting::kReversed : RowWriting::kAsIs;
    return placement;
  }
  placement.writing = holdsPeaks(block) ? RowWriting::kBinned : RowWriting::kInterpolated;
  return placement;
}

}  // namespace jcamp
