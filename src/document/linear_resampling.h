// A continuous spectrum put onto the matrix's X points by linear
// interpolation between the two points of the spectrum around each of them.
#pragma once

#include <cstdint>

#include "document/block_points.h"
#include "document/grid_points.h"

namespace jcamp {

// Writes column c of the grid into dense[c], for every column below
// grid.size:
// - a grid point that coincides with a point of the spectrum takes its value;
// - one between two points of the spectrum, the value on the straight line
//   between them, worked out in double in one fixed order, then rounded to float;
// - one beyond the spectrum's ends, or next to a missing ordinate, is missing
//   (kMissingValue): the spectrum is never extrapolated.
// Returns the number of columns that hold a value.
uint32_t interpolateOnto(const BlockPoints& spectrum, const GridPoints& grid, float* dense);

}  // namespace jcamp
