// Where a resampled row's X values go: column c of the grid at out[c],
// for the columns below count (the matrix may hold fewer than the grid).
#pragma once

#include <cstdint>

namespace jcamp {

struct ColumnOut {
  float* out = nullptr;
  uint32_t count = 0;

  void set(uint32_t column, float value) const {
    if (column < count) out[column] = value;
  }
  void fill(float value) const {
    for (uint32_t c = 0; c < count; ++c) out[c] = value;
  }
};

}  // namespace jcamp
