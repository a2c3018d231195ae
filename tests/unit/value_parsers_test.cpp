#include "labels/value_parsers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "labels/markers.h"
#include "labels/number_string.h"
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
// ends it. Too small reads as zero. No text, no number (hexadecimal, infinity
// and NaN are none), or too large: unset. A decimal-comma locale changes nothing.
TEST(ValueParsersTest, RealNumbers) {
  testsupport::CommaLocale comma;
  const double u = kUnsetDouble;
  const std::string tiny = "0." + std::string(400, '0') + "1";
  const std::pair<std::string, double> cases[] = {
      {"12.5 cm", 12.5}, {" 4.24", 4.24}, {"1.5E+03", 1500}, {"+.5", 0.5},    {"5.", 5},
      {"1.2.3", 1.2},    {"1,5", 1},      {"1.5E", 1.5},     {"1.5e+x", 1.5}, {"0x1A", 0},
      {"1e-999", 0.0},   {tiny, 0.0},     {"", u},           {".", u},        {"e5", u},
      {"inf", u},        {"nan", u},      {"1e999", u},      {"-1e999", u}};
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(parseDouble(text.c_str()), expected);
    EXPECT_EQ(parseFloat(text.c_str()), static_cast<float>(expected));
  }
  EXPECT_EQ(parseDouble(nullptr), u);
  EXPECT_EQ(parseFloat(nullptr), kUnsetValue);
  // Beyond the float range, but not the double range.
  EXPECT_EQ(parseFloat("1e39"), kUnsetValue);
  EXPECT_EQ(parseDouble("1e39"), 1e39);
  EXPECT_EQ(parseFloat("1e-50"), 0.0f);
  EXPECT_TRUE(std::signbit(parseDouble("-1e-999")));
}

// Fields of structured values: a pair, a drift chamber "code,a,b,c", dates,
// times and long dates as "y/m/d h:m:s zone". What a text does not give keeps
// its old value (-1, 99); a failed field reads unset (u) or 0, and the next one
// is tried all the same. A decimal-comma locale changes nothing.
TEST(ValueParsersTest, StructuredValues) {
  testsupport::CommaLocale comma;
  const auto read = [](const char* text, char kind) {
    float values[3] = {-1, -1, -1};
    char code[5] = {'q', 'q', 'q', 'q', 'q'};
    uint32_t year = 99, month = 99, day = 99, hour = 99, minute = 99;
    float seconds = 99;
    int32_t zone = 99;
    std::ostringstream out;
    if (kind == 'p') parseFloatPair(text, values);
    if (kind == 'c') parseChamber(text, code, values);
    if (kind == 'c') out << "[" << code << "]";
    if (kind == 'p' || kind == 'c') {
      for (int i = 0; i < (kind == 'p' ? 2 : 3); ++i) {
        values[i] == kUnsetValue ? out << " u" : out << " " << values[i];
      }
      return out.str();
    }
    if (kind == 'd') parseDate(text, year, month, day);
    if (kind == 't') parseTime(text, hour, minute, seconds);
    if (kind == 'l') parseLongDate(text, year, month, day, hour, minute, seconds, zone);
    out << year << "/" << month << "/" << day << " " << hour << ":" << minute << ":" << seconds
        << " " << zone;
    return out.str();
  };
  const struct {
    const char* text;
    char kind;
    const char* read;
  } cases[] = {
      {"250,300", 'p', " 250 300"},
      {"1.5;2.5", 'p', " 1.5 2.5"},
      {"1.5 ; 2.5", 'p', " 1.5 2.5"},
      {"250", 'p', " 250 -1"},
      {"x,5", 'p', " -1 -1"},
      {"", 'p', " u u"},
      {"ABC,1.5,2.5,3.5", 'c', "[ABC] 1.5 2.5 3.5"},
      {"AB,7", 'c', "[AB] 7 u u"},
      {"ABCD,1,2,3", 'c', "[ABC] u 1 2"},
      {",1,2,3", 'c', "[] u 1 2"},
      {"AB,x,5,6", 'c', "[AB] u u 5"},  // 'x' is the second value's separator
      {"AB,-,5,6", 'c', "[AB] u 5 6"},  // the lone sign is taken before it fails
      {"", 'c', "[] u u u"},
      {"2008/05/12", 'd', "2008/5/12 99:99:99 99"},
      {"08-05-12", 'd', "8/5/12 99:99:99 99"},
      {"2008 05 12", 'd', "2008/5/2 99:99:99 99"},
      {"2008/05", 'd', "2008/5/99 99:99:99 99"},
      {"", 'd', "0/0/0 99:99:99 99"},
      {"-5/1/1", 'd', "99/99/99 99:99:99 99"},
      {"14:03:27.5", 't', "99/99/99 14:3:27.5 99"},
      {"", 't', "99/99/99 0:0:0 99"},
      {"2008/05/12 14:03:27.25 +0100", 'l', "2008/5/12 14:3:27.25 100"},
      {"2008/05/12 14:03:27.25 -0500", 'l', "2008/5/12 14:3:27.25 -500"},
      {"2009/06/13 15:04:28", 'l', "2009/6/13 15:4:28 99"},
      {nullptr, 'l', "0/0/0 0:0:0 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.text, c.kind), c.read) << (c.text ? c.text : "null");
}

constexpr int kInvalid = 7;  // the flag's value before the check: left alone when invalid

TEST(NumberStringTest, ValidNumbersGiveTheirKindInvalidOnesLeaveTheFlag) {
  const std::pair<const char*, int> cases[] = {
      {"4000", 0},         {"-12", 0},         {"+7", 0},           {"-", 0},
      {"1.5", 1},          {".5", 1},          {"5.", 1},           {".", 1},
      {"  12.5  ", 1},     {"1e-5", 1},        {"1.5E+03", 1},      {"1.5E-", 1},
      {"-.5e+1", 1},       {"+E-5", 1},        {" -0.0 ", 1},       {"", kInvalid},
      {"   ", kInvalid},   {"1e5", kInvalid},  {"1.2.3", kInvalid}, {"1,5", kInvalid},
      {"e-5", kInvalid},   {"1.5E", kInvalid}, {"1e-5e", kInvalid}, {"1e-+5", kInvalid},
      {"1 2", kInvalid},   {"1-2", kInvalid},  {"..5", kInvalid},   {"1.5.e-3", kInvalid},
      {"1e-5.", kInvalid}, {"\t1", kInvalid},  {"1\t", kInvalid},   {"A23", kInvalid},
      {nullptr, kInvalid},
  };
  for (const auto& [text, kind] : cases) {
    SCOPED_TRACE(text ? text : "(null)");
    int isReal = kInvalid;
    EXPECT_EQ(checkNumberString(text, &isReal), kind == kInvalid ? 1 : 0);
    EXPECT_EQ(isReal, kind);
  }
}

}  // namespace
}  // namespace jcamp
