// The matrix's X axis as the rows are placed on it: its grid and, under a
// grid policy, the X and Y units every row is held to.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "document/grid_points.h"
#include "document/x_grid.h"
#include "document/x_units.h"

namespace jcamp {

struct MatrixAxis {
  XGrid grid;  // empty until given, or set by the first row's block
  // Under a grid policy: the grid's X units (given, or the first row's) and
  // the first row's ##YUNITS= (upper case, without blanks); unset until known.
  std::optional<XUnits> xUnits;
  std::optional<std::string> yUnits;
  // The grid's points as rows are resampled onto them: made once, when the
  // first row needs them, and shared by the files read after.
  std::shared_ptr<const GridPoints> points;

  // Whether nothing about the axis is left for a first row to set.
  bool settled(bool resampling) const {
    return !grid.empty() && (!resampling || (xUnits.has_value() && yUnits.has_value()));
  }
};

}  // namespace jcamp
