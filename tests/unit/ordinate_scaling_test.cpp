#include "labels/ordinate_scaling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "labels/markers.h"
#include "labels/narrow_to_float.h"

namespace jcamp {
namespace {

uint32_t bitsOf(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Ordinates whose products land anywhere, edges included, at every place in
// a group of four, scaled at once and one by one: the same bits.
TEST(OrdinateScalingTest, EveryOrdinateAsOneByOne) {
  constexpr float kLargest = std::numeric_limits<float>::max();
  const float edges[] = {
      kMissingValue, kLargest, -kLargest, std::numeric_limits<float>::infinity(),
      std::nanf(""), 0.0f,     -0.0f,     std::numeric_limits<float>::denorm_min(),
      1.0f,          -3.5f};
  const double factors[] = {1e-6, 1.0, -2.5, 1.00000001, 1e30, 1e-30, 0.0};
  std::mt19937 random(5);
  for (const double factor : factors) {
    std::vector<float> values(4099);
    for (float& value : values) {
      const uint32_t pick = random() % 16;
      if (pick < std::size(edges)) {
        value = edges[pick];
      } else {
        const uint32_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
      }
    }
    std::vector<float> scaled = values;
    scaleOrdinates(scaled.data(), scaled.size(), factor);
    for (size_t j = 0; j < values.size(); ++j) {
      const float expected =
          values[j] == kMissingValue ? values[j] : narrowToFloat(values[j] * factor);
      ASSERT_EQ(bitsOf(scaled[j]), bitsOf(expected)) << "factor " << factor << ", ordinate " << j;
    }
  }
}

}  // namespace
}  // namespace jcamp
