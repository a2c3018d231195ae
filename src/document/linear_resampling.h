// A continuous spectrum put onto the matrix's X points by linear
// interpolation between the two points of the spectrum around each of them.
#pragma once

#include <cstdint>
#include <vector>

#include "document/block_points.h"
#include "document/column_out.h"
#include "document/grid_points.h"
#include "document/x_units.h"

namespace jcamp {

// Writes the value of every column of the grid into out:
// - a grid point that coincides with a point of the spectrum takes its value;
// - one between two points of the spectrum, the value on the straight line
//   between them, worked out in double in one fixed order, then rounded to float;
// - one beyond the spectrum's ends, or next to a missing ordinate, is missing
//   (kMissingValue): the spectrum is never extrapolated.
// Returns the number of the grid's columns that hold a value.
uint32_t interpolateOnto(const BlockPoints& spectrum, const GridPoints& grid, const ColumnOut& out);

// An evenly spaced spectrum: point i at first + i * step (step of either
// sign) in its own units, count of them, whose abscissas conversion makes
// the grid's.
struct EvenSpectrum {
  double first = 0;
  double step = 0;
  const float* y = nullptr;
  uint32_t count = 0;
  XConversion conversion;
};

// The grid's abscissas as a reciprocal conversion sees them: in the units of
// the spectra (factor / x) and as x / factor. Kept while the rows written
// share grid and conversion.
class ReciprocalGrid {
 public:
  void prepare(const GridPoints& grid, const XConversion& conversion);
  const double* inSpectrumUnits() const { return inSpectrumUnits_.data(); }
  const double* overFactor() const { return overFactor_.data(); }

 private:
  const GridPoints* grid_ = nullptr;
  double factor_ = 0;
  std::vector<double> inSpectrumUnits_;
  std::vector<double> overFactor_;
};

// interpolateOnto for an evenly spaced spectrum, whose points need not be
// taken one by one: each grid point's place among them is worked out in the
// spectrum's units, and the value interpolated in the grid's. A spectrum of
// fewer than two points fills nothing. reciprocal serves a reciprocal conversion.
uint32_t interpolateEvenOnto(const EvenSpectrum& spectrum, const GridPoints& grid,
                             const ColumnOut& out, ReciprocalGrid& reciprocal);

}  // namespace jcamp
