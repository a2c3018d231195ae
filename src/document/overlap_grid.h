// The grid of the overlap policy: the X range every spectrum covers, at the
// finest step among them, decided from the files' labels before any table is
// read.
#pragma once

#include <vector>

#include "document/matrix_axis.h"
#include "scan/block_axes.h"

namespace jcamp {

// The axis for the blocks of the files in import order (each file's blocks
// with a data table, as scanBlockAxes gives them):
// - Units: those of the first block. Direction: that of the first block with
//   a range (##FIRSTX= and ##LASTX=), in those units.
// - Range: the first block's range, narrowed by each later block's in turn
//   (converted to the grid's units); a block that shares nothing with the
//   range so far, or whose units do not convert, is passed over.
// - Step: the finest among the continuous blocks that narrowed the range,
//   (LASTX - FIRSTX) / (NPOINTS - 1) in their own units, converted at both
//   ends of their range (a reciprocal conversion spreads the points unevenly);
//   1 in the grid's units when only peak tables took part.
// - Points: from one end of the range to the other at that step or slightly
//   finer, ceil(range / step) + 1 of them, at most JCAMP_GRID_MOST_POINTS.
// No block with a range: the grid is left empty, for the first row to set.
MatrixAxis overlapAxis(const std::vector<std::vector<BlockAxis>>& files);

}  // namespace jcamp
