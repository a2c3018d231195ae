#include "labels/value_parsers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "labels/markers.h"
#include "support/comma_locale.h"

namespace jcamp {
namespace {

// Decimal only; a minus sign before an unsigned number, no digits at all, or
// a number out of range fail and give the fallback of the empty text.
TEST(ValueParsersTest, WholeNumbers) {
  struct Case {
    const char* text;
    uint32_t asUnsigned;
    int32_t asInt;
  };
  const Case cases[] = {
      {"", 0, 0},
      {"1024 points", 1024, 1024},
      {"  \t42", 42, 42},
      {"0x10", 0, 0},
      {"+7", 7, 7},
      {"-12", 0, -12},
      {"1,5", 1, 1},
      {"+-3", 0, 0},
      {"4294967295", 4294967295u, 0},
      {"4294967296", 0, 0},
      {"2147483647", 2147483647u, 2147483647},
      {"2147483648", 2147483648u, 0},
      {"-2147483648", 0, INT32_MIN},
      {"-2147483649", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parseUnsigned(c.text), c.asUnsigned);
    EXPECT_EQ(parseInt(c.text), c.asInt);
  }
  EXPECT_EQ(parseUnsigned(nullptr), 0u);
  EXPECT_EQ(parseInt(nullptr), 0);
  const std::string zeros = std::string(100, '0') + "7";
  EXPECT_EQ(parseUnsigned(zeros.c_str()), 7u);
  EXPECT_EQ(parseInt(zeros.c_str()), 7);
}

// The longest prefix that forms a number; an exponent marker without digits
// ends it. Too small reads as zero. A decimal-comma locale changes nothing.
TEST(ValueParsersTest, RealNumbers) {
  testsupport::CommaLocale comma;
  const std::pair<std::string, double> cases[] = {
      {"12.5 cm", 12.5}, {" 4.24", 4.24}, {"1.5E+03", 1500}, {"+.5", 0.5},
      {"5.", 5},         {"1.2.3", 1.2},  {"1,5", 1},        {"1.5E", 1.5},
      {"1.5e+x", 1.5},   {"0x1A", 0},     {"1e-999", 0.0},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(parseDouble(text.c_str()), expected);
    EXPECT_EQ(parseFloat(text.c_str()), static_cast<float>(expected));
  }
  const std::string tiny = "0." + std::string(400, '0') + "1";
  EXPECT_EQ(parseDouble(tiny.c_str()), 0.0);
  EXPECT_EQ(parseFloat(tiny.c_str()), 0.0f);
  // Beyond the float range, but not the double range.
  EXPECT_EQ(parseFloat("1e39"), kUnsetValue);
  EXPECT_EQ(parseDouble("1e39"), 1e39);
  EXPECT_EQ(parseFloat("1e-50"), 0.0f);
  EXPECT_TRUE(std::signbit(parseDouble("-1e-999")));
}

// No text, no number (hexadecimal, infinity and NaN are none), or too large.
TEST(ValueParsersTest, RealNumbersFallBackToUnset) {
  for (const char* text :
       {static_cast<const char*>(nullptr), "", ".", "e5", "inf", "nan", "1e999", "-1e999"}) {
    SCOPED_TRACE(text ? text : "(null)");
    EXPECT_EQ(parseDouble(text), kUnsetDouble);
    EXPECT_EQ(parseFloat(text), kUnsetValue);
  }
}

// A target whose extraction fails keeps what it held.
TEST(ValueParsersTest, FloatPair) {
  testsupport::CommaLocale comma;
  struct Case {
    const char* text;
    float first;
    float second;
  };
  const Case cases[] = {
      {"250,300", 250, 300}, {"1.5;2.5", 1.5f, 2.5f}, {"1.5 ; 2.5", 1.5f, 2.5f},
      {"250", 250, -1},      {"x,5", -1, -1},         {"", kUnsetValue, kUnsetValue},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    float values[2] = {-1, -1};
    parseFloatPair(c.text, values);
    EXPECT_EQ(values[0], c.first);
    EXPECT_EQ(values[1], c.second);
  }
}

// A failed value is unset, and the next one is tried all the same.
TEST(ValueParsersTest, Chamber) {
  struct Case {
    const char* text;
    const char* code;
    float values[3];
  };
  constexpr float u = kUnsetValue;
  const Case cases[] = {
      {"ABC,1.5,2.5,3.5", "ABC", {1.5f, 2.5f, 3.5f}},
      {"AB,7", "AB", {7, u, u}},
      {"ABCD,1,2,3", "ABC", {u, 1, 2}},
      {",1,2,3", "", {u, 1, 2}},
      {"AB,x,5,6", "AB", {u, u, 5}},  // 'x' is the second value's separator
      {"AB,-,5,6", "AB", {u, 5, 6}},  // the lone sign is taken before it fails
      {"", "", {u, u, u}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    char code[5] = {'q', 'q', 'q', 'q', 'q'};
    float values[3] = {-1, -1, -1};
    parseChamber(c.text, code, values);
    EXPECT_STREQ(code, c.code);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(values[i], c.values[i]) << i;
  }
}

TEST(ValueParsersTest, DateAndTime) {
  struct Case {
    const char* text;
    uint32_t year, month, day;
  };
  const Case dates[] = {
      {"2008/05/12", 2008, 5, 12}, {"08-05-12", 8, 5, 12}, {"2008 05 12", 2008, 5, 2},
      {"2008/05", 2008, 5, 99},    {"", 0, 0, 0},          {"-5/1/1", 99, 99, 99},
  };
  for (const Case& c : dates) {
    SCOPED_TRACE(c.text);
    uint32_t year = 99, month = 99, day = 99;
    parseDate(c.text, year, month, day);
    EXPECT_EQ(year, c.year);
    EXPECT_EQ(month, c.month);
    EXPECT_EQ(day, c.day);
  }

  uint32_t hour = 99, minute = 99;
  float seconds = -1;
  parseTime("14:03:27.5", hour, minute, seconds);
  EXPECT_EQ(hour, 14u);
  EXPECT_EQ(minute, 3u);
  EXPECT_EQ(seconds, 27.5f);
  parseTime("", hour, minute, seconds);
  EXPECT_EQ(hour + minute, 0u);
  EXPECT_EQ(seconds, 0.0f);

  uint32_t year = 0, month = 0, day = 0;
  int32_t zone = 77;
  parseLongDate("2008/05/12 14:03:27.25 +0100", year, month, day, hour, minute, seconds, zone);
  EXPECT_EQ(year * 10000 + month * 100 + day, 20080512u);
  EXPECT_EQ(hour * 100 + minute, 1403u);
  EXPECT_EQ(seconds, 27.25f);
  EXPECT_EQ(zone, 100);
  parseLongDate("2008/05/12 14:03:27.25 -0500", year, month, day, hour, minute, seconds, zone);
  EXPECT_EQ(zone, -500);
  zone = 77;
  parseLongDate("2009/06/13 15:04:28", year, month, day, hour, minute, seconds, zone);
  EXPECT_EQ(day, 13u);
  EXPECT_EQ(seconds, 28.0f);
  EXPECT_EQ(zone, 77);  // no zone: kept
  parseLongDate(nullptr, year, month, day, hour, minute, seconds, zone);
  EXPECT_EQ(year + month + day + hour + minute + static_cast<uint32_t>(zone), 0u);
}

}  // namespace
}  // namespace jcamp
