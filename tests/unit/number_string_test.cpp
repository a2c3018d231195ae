#include "labels/number_string.h"

#include <gtest/gtest.h>

namespace jcamp {
namespace {

TEST(NumberStringTest, ValidNumbersAndTheirKind) {
  struct Case {
    const char* text;
    int isReal;
  };
  const Case cases[] = {
      {"4000", 0},  {"-12", 0},    {"+7", 0},   {"-", 0},        {"+", 0},      {"1.5", 1},
      {".5", 1},    {"5.", 1},     {".", 1},    {"  12.5  ", 1}, {"1e-5", 1},   {"1.5E+03", 1},
      {"1.5E-", 1}, {"-.5e+1", 1}, {"+E-5", 1}, {"007", 0},      {" -0.0 ", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int isReal = 7;
    EXPECT_EQ(checkNumberString(c.text, &isReal), 0);
    EXPECT_EQ(isReal, c.isReal);
  }
}

TEST(NumberStringTest, InvalidTextsLeaveTheFlag) {
  const char* const cases[] = {"",        "   ",   "1e5",   "1.5E3", "1.2.3", "1,5",  "abc",
                               "e-5",     "1.5E",  "1e-5e", "1e-+5", "1 2",   "1-2",  "..5",
                               "1.5.e-3", "1e-5.", "\t1",   "1\t",   "A23",   nullptr};
  for (const char* text : cases) {
    SCOPED_TRACE(text ? text : "(null)");
    int isReal = 7;
    EXPECT_EQ(checkNumberString(text, &isReal), 1);
    EXPECT_EQ(isReal, 7);
  }
}

}  // namespace
}  // namespace jcamp
