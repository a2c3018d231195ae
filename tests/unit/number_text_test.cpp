#include <gtest/gtest.h>

#include "scan/variable_names.h"
#include "support/comma_locale.h"

namespace jcamp {
namespace {

using testsupport::CommaLocale;

TEST(NumberTextTest, FixedMatchesPrintfInTheClassicLocale) {
  struct Case {
    double value;
    int precision;
    const char* text;
  };
  const Case cases[] = {
      {0.5, 6, "0.500000"},
      {12.5, 6, "12.500000"},
      {-0.0001, 6, "-0.000100"},
      {1234.5678, 3, "1234.568"},
      {-50.5, 4, "-50.5000"},
      {0.0, 6, "0.000000"},
      {3.4e38f, 6, "339999995214436424907732413799364296704.000000"},
  };
  CommaLocale comma;
  for (const Case& c : cases) EXPECT_EQ(formatFixed(c.value, c.precision), c.text);
  if (!comma.active()) GTEST_SKIP() << "no decimal-comma locale installed; checked in C only";
}

}  // namespace
}  // namespace jcamp
