#include "scan/variable_names.h"

#include <gtest/gtest.h>

#include <limits>

#include "labels/markers.h"
#include "support/comma_locale.h"

namespace jcamp {
namespace {

TEST(VariableNamesTest, IntegerNames) {
  EXPECT_EQ(formatIntegerName(4000), "4000");
  EXPECT_EQ(formatIntegerName(-250), "-250");
  EXPECT_EQ(formatIntegerName(0), "0");
  EXPECT_EQ(formatIntegerName(INT32_MIN), "-2147483648");
}

TEST(VariableNamesTest, NamesFollowTheMagnitudeTables) {
  struct Case {
    double x;
    const char* name;
  };
  const Case cases[] = {
      {1234.5678, "1234.568"},
      {12.3456789, "12.34568"},
      {5.5, "5.500000"},
      {-5.5, "-5.500000"},
      {-50.5, "-50.5000"},
      {-123456.0, "-1.2e+05"},
      {999999.9, "999999.9"},
      {1000000.0, "1.0e+06"},
      {0.00001, "1.0e-05"},
      {0.0, "0.0"},
      {-0.0, "0.0"},
      {0.0001, "0.000100"},  // the bounds themselves belong to the fixed rows
      {9.999999, "9.999999"},
      {9.9999995, "10.00000"},  // just above a bound: the next row
      {99999.99, "99999.99"},
      {99999.995, "100000.0"},
      {-9.99999, "-9.999990"},
      {-9.999995, "-10.0000"},
      {-99999.9, "-99999.9"},
      {-99999.95, "-1.0e+05"},
      {-0.00009, "-9.0e-05"},
      {4000.0, "4000.000"},
      {1e300, "inf"},  // beyond the float range
  };
  testsupport::CommaLocale comma;
  for (const Case& c : cases) EXPECT_EQ(formatVariableName(c.x), c.name) << c.x;
}

TEST(VariableNamesTest, Scientific) {
  struct Case {
    float v;
    int32_t width;
    int32_t precision;
    const char* text;
  };
  const Case cases[] = {
      {1234567.0f, 0, 1, "1.2e+06"},
      {0.00005f, 0, 1, "5.0e-05"},
      {250.0f, 0, 1, "250.0"},
      {0.1f, 0, 2, "0.10"},  // 0.1 and 1000 as floats are still fixed
      {1000.0f, 0, 1, "1000.0"},
      {1000.0001f, 0, 1, "1.0e+03"},
      {0.099999f, 0, 1, "1.0e-01"},
      {-3.4e38f, 0, 3, "-3.400e+38"},
      {1.4e-45f, 0, 1, "1.4e-45"},
      {12.5f, 8, 2, "   12.50"},
      {12.5f, -8, 2, "12.50   "},
      {12.5f, 2, 2, "12.50"},
      {12.5f, 0, -1, "12.500000"},
      {kMissingValue, 0, 1, "m"},
      {kMissingValue, 1, 1, "m"},
      {kMissingValue, 5, 1, "    m"},
      {kMissingValue + 4.0e19f, 5, 1, "    m"},
      {kMissingValue + 6.0e19f, 0, 1, "-1.0e+24"},
      {std::numeric_limits<float>::infinity(), 0, 1, "inf"},
  };
  testsupport::CommaLocale comma;
  for (const Case& c : cases) {
    EXPECT_EQ(formatScientific(c.v, c.width, c.precision), c.text) << c.v << " " << c.width;
  }
}

}  // namespace
}  // namespace jcamp
