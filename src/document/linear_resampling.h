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

// Where each column of the grid falls among the points of an evenly spaced
// spectrum: the same for every spectrum of the same axis (the blocks of a
// compound file, say), so worked out once for all of them. Each column is
// placed among the points in the spectrum's units and its share of the way
// from one point to the next taken in the grid's units; a column that
// coincides with a point takes that point.
class EvenPlacement {
 public:
  // Places the grid's columns for the spectrum's axis, unless they are placed for it already.
  void prepare(const EvenSpectrum& spectrum, const GridPoints& grid);
  // Writes the values of the spectrum's ordinates y onto the columns; the
  // number of the grid's columns that hold a value.
  uint32_t fill(const float* y, const ColumnOut& out) const;

 private:
  static constexpr uint32_t kOutside = UINT32_MAX;
  void place(const EvenSpectrum& spectrum, const GridPoints& grid);

  const GridPoints* grid_ = nullptr;
  double first_ = 0;
  double step_ = 0;
  uint32_t count_ = 0;
  XConversion conversion_;
  std::vector<uint32_t> point_;  // per column: the point at or before it, or kOutside
  std::vector<double> share_;    // of the way to the next point; 0: the point itself
  uint32_t inside_ = 0;          // columns not kOutside
};

// interpolateOnto for an evenly spaced spectrum, through placement (prepared
// here). A spectrum of fewer than two points fills nothing.
uint32_t interpolateEvenOnto(const EvenSpectrum& spectrum, const GridPoints& grid,
                             const ColumnOut& out, EvenPlacement& placement);

}  // namespace jcamp
