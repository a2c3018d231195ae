// A block's points as the resampling takes them: abscissas in the matrix's X
// units, in rising order, with their ordinates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/x_units.h"
#include "labels/jcamp_block.h"

namespace jcamp {

class BlockPoints {
 public:
  // The points the block's table holds (up to ##NPOINTS=), each abscissa
  // converted; points whose abscissa is not a finite number are left out.
  // Keeps its room for the next block.
  void take(const JcampBlock& block, const XConversion& conversion);

  size_t size() const { return x_.size(); }
  const double* x() const { return x_.data(); }  // rising
  const float* y() const { return y_.data(); }   // kMissingValue where the table held "?"

 private:
  std::vector<double> x_;
  std::vector<float> y_;
  std::vector<uint32_t> order_;
  std::vector<double> unsortedX_;
  std::vector<float> unsortedY_;
};

}  // namespace jcamp
