// The grid policy a handle was given with setGrid, checked once.
#pragma once

#include <cstdint>
#include <string>

#include "jcampimport.h"

namespace jcamp {

struct GridRequest {
  int32_t policy = JCAMP_GRID_NONE;
  double first =
      0;  // JCAMP_GRID_EXPLICIT: first and last X, points, units ("" for the first row's)
  double last = 0;
  int32_t count = 0;
  std::string units;

  bool resampling() const { return policy != JCAMP_GRID_NONE; }
};

// The request a caller's struct makes: JCAMP_OK, or JCAMP_NULL_ARGUMENT or
// JCAMP_BAD_ARGUMENT (see setGrid in the public header) with request unchanged.
int32_t readGridRequest(const JcampGrid* grid, GridRequest& request);

}  // namespace jcamp
