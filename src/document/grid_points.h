// The matrix's X points in rising order, as the resampling walks them, and
// the column each belongs to.
#pragma once

#include <cstdint>
#include <vector>

#include "document/x_grid.h"

namespace jcamp {

struct GridPoints {
  std::vector<double> rising;     // abscissas, lowest first
  std::vector<uint32_t> columns;  // columns[k]: the matrix column of rising[k]
  uint32_t size = 0;              // the matrix's X columns (a grid of pairs may hold fewer points)

  // The points of a grid: those it holds, sorted; the columns without a
  // point (beyond a table of pairs' end) stay missing.
  static GridPoints of(const XGrid& grid);
  bool empty() const { return rising.empty(); }
  // The distance from point k to its nearer neighbour; 0 for a lone point.
  double stepAt(size_t k) const;
};

}  // namespace jcamp
