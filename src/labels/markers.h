// The two numeric markers shared by the whole module.
#pragma once

#include <cmath>

namespace jcamp {

// An ordinate written as "?" in a data table.
constexpr float kMissingValue = -9.973e23f;

// A numeric label that the block does not give (bits 0x7F7FC99E). Double
// fields hold this float widened, so compare against kUnsetDouble.
constexpr float kUnsetValue = 3.4e38f;
constexpr double kUnsetDouble = static_cast<double>(kUnsetValue);

// A value counts as missing when it lies this close to kMissingValue.
constexpr float kMissingTolerance = 5.0e19f;

inline bool isMissingValue(float value) {
  return std::fabs(value - kMissingValue) < kMissingTolerance;
}

}  // namespace jcamp
