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
  std::vector<double> byColumn;   // the abscissa of each column; NaN for a column without one
  uint32_t size = 0;              // the matrix's X columns (a grid of pairs may hold fewer points)
  // An even grid: column c at first + c * step.
  bool even = false;
  double first = 0;
  double step = 0;

  // The points of a grid: those it holds, sorted; the columns without a
  // point (beyond a table of pairs' end) stay missing.
  static GridPoints of(const XGrid& grid);
  // The distance from point k to its nearer neighbour; 0 for a lone point.
  double stepAt(size_t k) const;
};

}  // namespace jcamp
