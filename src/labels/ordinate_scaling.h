// Decoded ordinates brought to their values: times the table's factor.
#pragma once

#include <cstdint>

namespace jcamp {

// values[j] for j < count times factor: the product taken in double and
// stored as narrowToFloat stores it. A missing ordinate ("?") stays as it is.
void scaleOrdinates(float* values, uint64_t count, double factor);

}  // namespace jcamp
