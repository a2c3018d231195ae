// getData's text: the fast conversion writes exactly what the general one does.
#include "plugin/value_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "labels/markers.h"
#include "scan/variable_names.h"

namespace jcamp {
namespace {

std::string expectedText(float value) {
  return isMissingValue(value) ? "m" : formatFixed(static_cast<double>(value), 6);
}

std::string written(float value) {
  char out[kValueTextCapacity];
  const size_t length = writeValueText(value, out);
  EXPECT_EQ(std::strlen(out), length);
  return out;
}

TEST(ValueTextTest, EdgesReadAsTheGeneralConversionWritesThem) {
  const float cases[] = {0.0f,
                         -0.0f,
                         0.5f,
                         12.5f,
                         -0.0001f,
                         0.0000005f,
                         0.0000015f,
                         -0.0000005f,
                         1e-7f,
                         -1e-7f,
                         0.0000025f,
                         999999.94f,
                         16777216.0f,
                         9.2e12f,
                         9.3e12f,
                         1e30f,
                         -3.4e38f,
                         kUnsetValue,
                         kMissingValue,
                         std::numeric_limits<float>::denorm_min(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()};
  for (float value : cases) {
    SCOPED_TRACE(value);
    EXPECT_EQ(written(value), expectedText(value));
  }
}

TEST(ValueTextTest, RandomFloatsReadAsTheGeneralConversionWritesThem) {
  std::mt19937 random(12345);
  for (int i = 0; i < 200000; ++i) {
    // Any bit pattern, then one scaled into the range most spectra hold.
    uint32_t bits = static_cast<uint32_t>(random());
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    if (i % 2 == 1) value = std::ldexp(static_cast<float>(bits % 2000000) - 1e6f, -(i % 40));
    ASSERT_EQ(written(value), expectedText(value)) << bits;
  }
}

}  // namespace
}  // namespace jcamp
