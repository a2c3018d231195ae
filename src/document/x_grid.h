// The X axis of a data block, and how a block's axis lies against the matrix's.
#pragma once

#include <cstdint>
#include <vector>

#include "labels/jcamp_block.h"

namespace jcamp {

// The abscissas of one block: evenly spaced from firstX to lastX over nPoints
// (##XYDATA=, and any table other than pairs), or the abscissas of its pairs
// (##XYPOINTS=), as the table holds them. The matrix keeps the one of its
// first block.
class XGrid {
 public:
  XGrid() = default;
  static XGrid of(const JcampBlock& block);
  // count points evenly from first to last.
  static XGrid even(double first, double last, uint32_t count);

  uint32_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // Abscissa i; past size() an even grid goes on, one of pairs gives 0.
  double at(uint32_t i) const;
  // 1 when the axis rises, -1 when it falls, 0 when flat or shorter than two.
  int direction() const;
  bool even() const { return even_; }
  // The abscissas held rather than computed: all of an even grid's, those
  // the table of pairs held (at() gives 0 past them).
  uint32_t held() const { return even_ ? count_ : static_cast<uint32_t>(points_.size()); }
  const float* points() const { return points_.data(); }

 private:
  bool even_ = true;
  double first_ = 0;
  double last_ = 0;
  uint32_t count_ = 0;
  std::vector<float> points_;  // the pairs' abscissas, as the block stores them
};

// A block's axis against the matrix's: reversed when the two run opposite
// ways; off the grid when the block has another number of points, or one of
// its abscissas (taken in the matrix's direction) lies more than half the
// matrix's local step from the matrix's.
struct GridFit {
  bool reversed = false;
  bool offGrid = false;
};
GridFit fitGrid(const JcampBlock& block, const XGrid& matrix);

}  // namespace jcamp
