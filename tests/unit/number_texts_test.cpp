// The texts numbers become: variable names, and getData's values, whose fast
// conversion writes exactly what the general one does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "labels/markers.h"
#include "plugin/value_text.h"
#include "scan/variable_names.h"
#include "support/comma_locale.h"

namespace jcamp {
namespace {

// A decimal-comma locale must change none of the texts.
class VariableNamesTest : public ::testing::Test {
 protected:
  testsupport::CommaLocale comma_;
};

TEST_F(VariableNamesTest, FixedAndIntegerTextsAreThoseOfPrintfInTheCLocale) {
  EXPECT_EQ(formatFixed(0.5, 6), "0.500000");
  EXPECT_EQ(formatFixed(-0.0001, 6), "-0.000100");
  EXPECT_EQ(formatFixed(3.4e38f, 6), "339999995214436424907732413799364296704.000000");
  EXPECT_EQ(formatIntegerName(-250), "-250");
  EXPECT_EQ(formatIntegerName(INT32_MIN), "-2147483648");
}

// Each bound belongs to its own row; just above it the next row applies.
TEST_F(VariableNamesTest, NamesFollowTheMagnitudeTables) {
  // Negative values have bounds one digit shorter; 1e300 is beyond the float range.
  const std::pair<double, const char*> cases[] = {
      {1234.5678, "1234.568"}, {12.3456789, "12.34568"},
      {0.0001, "0.000100"},    {9.999999, "9.999999"},
      {9.9999995, "10.00000"}, {99999.99, "99999.99"},
      {99999.995, "100000.0"}, {999999.9, "999999.9"},
      {1000000.0, "1.0e+06"},  {0.0, "0.0"},
      {1e300, "inf"},          {-0.0, "0.0"},
      {-9.99999, "-9.999990"}, {-9.999995, "-10.0000"},
      {-50.5, "-50.5000"},     {-99999.9, "-99999.9"},
      {-99999.95, "-1.0e+05"}, {-0.00009, "-9.0e-05"},
  };
  for (const auto& [x, name] : cases) EXPECT_EQ(formatVariableName(x), name) << x;
}

// 0.1 and 1000 as floats are still fixed; width pads left, or right when negative.
TEST_F(VariableNamesTest, Scientific) {
  struct Case {
    float v;
    int32_t width;
    int32_t precision;
    const char* text;
  };
  const Case cases[] = {
      {1234567.0f, 0, 1, "1.2e+06"},
      {0.00005f, 0, 1, "5.0e-05"},
      {0.1f, 0, 2, "0.10"},
      {1000.0f, 0, 1, "1000.0"},
      {1000.0001f, 0, 1, "1.0e+03"},
      {0.099999f, 0, 1, "1.0e-01"},
      {12.5f, 8, 2, "   12.50"},
      {12.5f, -8, 2, "12.50   "},
      {12.5f, 2, 2, "12.50"},
      {12.5f, 0, -1, "12.500000"},
      {kMissingValue, 0, 1, "m"},
      {kMissingValue + 4.0e19f, 5, 1, "    m"},
      {kMissingValue + 6.0e19f, 0, 1, "-1.0e+24"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatScientific(c.v, c.width, c.precision), c.text) << c.v << " " << c.width;
  }
}

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
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float tiny = std::numeric_limits<float>::denorm_min();
  const float cases[] = {0.0f,          -0.0f,       0.5f,        12.5f,  -0.0001f,   0.0000005f,
                         1e-7f,         0.0000015f,  -0.0000005f, -1e-7f, 0.0000025f, 999999.94f,
                         9.2e12f,       16777216.0f, 9.3e12f,     1e30f,  -3.4e38f,   kUnsetValue,
                         kMissingValue, tiny,        inf,         -inf,   nan};
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
