// How a block's values reach the matrix under a grid policy: as they are when
// its points are the grid's, resampled when they lie elsewhere or in other
// units that convert, or not at all when its units do not convert.
#pragma once

#include <string>

#include "document/matrix_axis.h"
#include "document/row_source.h"
#include "labels/jcamp_block.h"
#include "labels/label_record.h"

namespace jcamp {

struct GridPlacement {
  bool refused = false;
  std::string reason;  // when refused: both units
  RowWriting writing = RowWriting::kAsIs;
  XConversion conversion;
  bool otherYUnits = false;  // its ##YUNITS= differs from the matrix's
};

// The placement of a block on a settled axis (MatrixAxis::settled).
GridPlacement placeOnGrid(const JcampBlock& block, const ReadContext& context,
                          const MatrixAxis& axis);

// The block's X and Y units as the axis keeps them.
XUnits blockXUnits(const JcampBlock& block, const ReadContext& context);
std::string blockYUnits(const JcampBlock& block, const ReadContext& context);

// Whether the block's table is peak data, binned rather than interpolated: a
// table of pairs under ##PEAK TABLE=, or in a block whose ##DATA TYPE= is a
// peak table or a (centroid) MASS SPECTRUM.
bool holdsPeaks(const JcampBlock& block);

}  // namespace jcamp
