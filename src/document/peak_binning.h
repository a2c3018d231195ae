// Peak data (a peak table, the (XY..XY) pages of a mass spectrum) put onto
// the matrix's X points by binning: each peak adds its intensity to the grid
// point nearest it, as m/z lists become nominal-mass vectors.
#pragma once

#include <cstdint>

#include "document/block_points.h"
#include "document/column_out.h"
#include "document/grid_points.h"
#include "document/x_units.h"
#include "labels/jcamp_block.h"

namespace jcamp {

// Writes the value of every column of the grid into out: the grid points from low to high (the
// block's X range in the grid's units) start at 0, the others are missing; each peak then adds its
// intensity to the grid point nearest it (the lower of two equally near), unless it lies more than
// half a step beyond the grid's ends. A peak's "?" adds nothing. Sums are formed in double in the
// peaks' order, then rounded to float. Returns the number of columns that hold a value. The X range
// of a peak block in the grid's units (conversion): from its
// ##FIRSTX= to its ##LASTX=, widened to its peaks. A block without them lists
// its peaks without saying where it looked: its range is the whole axis, and
// every grid point without a peak reads 0.
void peakRange(const JcampBlock& block, const XConversion& conversion, const BlockPoints& peaks,
               double& low, double& high);

uint32_t binOnto(const BlockPoints& peaks, double low, double high, const GridPoints& grid,
                 const ColumnOut& out);

}  // namespace jcamp
