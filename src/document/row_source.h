// Where one row's values come from and how they reach its columns.
#pragma once

#include <cstdint>

#include "document/x_units.h"
#include "labels/jcamp_block.h"

namespace jcamp {

enum class RowWriting : uint8_t {
  kAsIs,          // point i into column i
  kReversed,      // point i into column n - 1 - i
  kInterpolated,  // a continuous spectrum resampled onto the grid
  kBinned,        // peaks summed into their nearest grid points
};

struct RowSource {
  const JcampBlock* block = nullptr;  // null: no data block, 0 everywhere
  RowWriting writing = RowWriting::kAsIs;
  XConversion conversion;  // kInterpolated, kBinned: the block's abscissas into the grid's units

  bool resampled() const {
    return writing == RowWriting::kInterpolated || writing == RowWriting::kBinned;
  }
};

}  // namespace jcamp
