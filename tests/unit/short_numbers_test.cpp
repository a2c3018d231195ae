// Short plain numbers are read by the decoders without a token: each must
// come out as the parser reads the same text, bit for bit, and the texts that
// go on past a short number (more digits, an exponent) must still be read
// whole.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "labels/asdf_decoder.h"
#include "labels/narrow_to_float.h"
#include "labels/value_parsers.h"

namespace jcamp {
namespace {

bool sameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Numbers around the limits of the short reading: digit counts, points,
// signs, exponents (which a real-number reading takes as part of the number).
const char* const kNumbers[] = {
    "0",
    "-0",
    "+7",
    "12.",
    "12.5",
    "-0.000",
    "0.1",
    "0.3",
    "123456.789",
    "99999999999999.9",
    "123456789012345",  // the most digits read short
    "1234567890123456",
    "9007199254740993",
    "00000000000000001",
    "0.00000000000000000001",
    "4503599627370497.5",
    "1.5e+3",
    "1.5E-3",
    "15e+2",
    "-1e-400",
    "1e+400",
};

LineReading readingOf(bool decimalOrdinates) {
  LineReading reading;
  reading.decimalOrdinates = decimalOrdinates;
  return reading;
}

// A pair's ordinate is the run of number characters, in both readings; its
// abscissa too when read as a real number, else the digits and points only.
// Read as real numbers, X++(Y..Y) ordinates and abscissas are the whole run.
TEST(ShortNumbersTest, NumbersReadAsTheParserReadsTheirText) {
  for (const char* number : kNumbers) {
    const std::string text = number;
    for (const bool real : {false, true}) {
      const bool wholeAbscissa = real || std::strpbrk(number, "eE") == nullptr;
      const std::string line = (wholeAbscissa ? text : "5") + ", " + text + "; 5, 6";
      float xs[2] = {};
      double ys[2] = {};
      uint32_t isReal[2] = {};
      uint32_t lastKind = kTokenNone;
      LineReading reading = readingOf(real);
      ASSERT_EQ(decodeXyPointsLine(line.c_str(), 1.0, lastKind, xs, ys, isReal, 2, reading), 2u)
          << line;
      EXPECT_TRUE(sameBits(ys[0], parseDouble(number))) << line << " real " << real;
      if (wholeAbscissa) {
        EXPECT_EQ(xs[0], narrowToFloat(parseDouble(number))) << line << " real " << real;
        EXPECT_EQ(isReal[0], std::strpbrk(number, ".eE") != nullptr ? 1u : 0u) << line;
      }
      EXPECT_EQ(xs[1], 5.0f) << line;
      EXPECT_EQ(ys[1], 6.0) << line;
    }
    const std::string line = "100 " + text + " " + text + " 7";
    double values[4] = {};
    double x = 0;
    uint32_t lastKind = kTokenNone;
    LineReading reading = readingOf(true);
    ASSERT_EQ(decodeXyDataLine(line.c_str(), x, values, 4, lastKind, reading), 3u) << line;
    EXPECT_TRUE(sameBits(values[0], parseDouble(number))) << line;
    EXPECT_TRUE(sameBits(values[1], parseDouble(number))) << line;
    EXPECT_EQ(values[2], 7.0) << line;
    ASSERT_EQ(decodeXyDataLine((text + " 1").c_str(), x, values, 4, lastKind, reading), 1u);
    EXPECT_TRUE(sameBits(x, parseDouble(number))) << text << " as abscissa";
  }
}

// Integer tokens of every length to past the 32-bit range, plain and
// compressed: in float each reads as the integer of its decimal text (0
// beyond the range), in double as the number that text is.
TEST(ShortNumbersTest, IntegerTokensOfEveryLength) {
  std::vector<std::string> tokens = {"0", "-0", "-00", "+0"};
  std::string digits;
  for (int length = 1; length <= 12; ++length) {
    digits += static_cast<char>('0' + length % 10);
    for (const char* lead : {"", "-", "A", "e"}) tokens.push_back(lead + digits);
  }
  for (const std::string& token : tokens) {
    const std::string line = "1 " + token + " 5";
    char text[kTokenBufferSize] = {};
    std::strcpy(text, token.c_str());
    asdfToDecimal(text);
    float values[3] = {};
    double wide[3] = {};
    double x = 0;
    uint32_t lastKind = kTokenNone;
    LineReading reading;
    ASSERT_EQ(decodeXyDataLine(line.c_str(), x, values, 3, lastKind, reading), 2u) << line;
    EXPECT_EQ(values[0], static_cast<float>(parseInt(text))) << line;
    EXPECT_EQ(values[1], 5.0f) << line;
    ASSERT_EQ(decodeXyDataLine(line.c_str(), x, wide, 3, lastKind, reading), 2u) << line;
    EXPECT_TRUE(sameBits(wide[0], parseDouble(text))) << line;
  }
}

}  // namespace
}  // namespace jcamp
