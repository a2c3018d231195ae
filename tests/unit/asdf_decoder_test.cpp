#include "labels/asdf_decoder.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "labels/markers.h"
#include "labels/sample_warnings.h"

namespace jcamp {
namespace {

constexpr float kM = kMissingValue;
constexpr float kGuard = -123456.0f;  // marks array entries a decoder must not touch

// The values a decoder stored, then guards up to size.
std::vector<float> guarded(std::vector<float> values, size_t size) {
  values.resize(size, kGuard);
  return values;
}

TEST(AsdfDecoderTest, XyDataLines) {
  struct Case {
    std::string line;
    double x;
    std::vector<float> values;  // as many as the capacity the decoder gets
    uint32_t lastKind;
    uint32_t lastKindBefore = kTokenNone;
    uint64_t count = 0;  // when more than the capacity
  };
  const std::string zeros(85, '0');
  std::string zigzag = "1 ";  // 127 characters: "Z9" is 89 zeros, then 88 more each
  while (zigzag.size() < 127) zigzag += "Z9";
  zigzag.resize(127);         // ends in a lone 'Z': 7 more
  std::string huge = "1 A1";  // DUP counts of 10^9: the exact count, beyond 32 bits
  for (int i = 0; i < 12; ++i) huge += "S000000000";
  const Case cases[] = {
      // The X++(Y..Y) example: n is DIF -5, U repeats the step twice more.
      {"450 A23nnU", 450, {123, 118, 113, 108, 103}, kTokenDif},
      {"450,1,-2;+3t4\xC3\xA9(5)z ", 450, {1, -2, 3, 4, 5}, kTokenPlain},  // all kinds of separator
      {"0 @%irIR", 0, {0, 0, -9, -18, 9, 18}, kTokenDif},     // the ends of the SQZ and DIF letters
      {"0 1s", 0, std::vector<float>(9, 1.0f), kTokenPlain},  // and of the DUP letters
      {"450 S5", 450, std::vector<float>(15, 0.0f), kTokenNone},  // a DUP as first ordinate: zeros
      {"450 SA1", 450, {0, 11}, kTokenSqz},                       // even a count of 1
      {"450 15E3", 450, {15, 53}, kTokenSqz},                     // 'E' is SQZ +5
      {"1.5E2", 1.5, {52}, kTokenSqz},                            // no exponent in the abscissa
      {"450 12.5", 450, {12, 5}, kTokenPlain},
      {"-12.5 a1b2", -12.5, {-11, -22}, kTokenSqz},
      {"450 J5T", 450, {0, 15}, kTokenDif},                   // a DIF as first ordinate is 0
      {"100 A1J1B1U", 100, {11, 22, 21, 21, 21}, kTokenSqz},  // DUP after SQZ repeats
      {"100 A1J1 5T", 100, {11, 22, 5, 5}, kTokenPlain},
      {"100 A1 S S0", 100, std::vector<float>(10, 11.0f), kTokenSqz},  // S is a count of 1
      {"100 A1S99999999999", 100, {11}, kTokenSqz},                    // an out-of-range count is 0
      {"450 +-5", 450, {0, -5}, kTokenPlain},                          // a lone sign reads as 0
      {"0 16777216JJ", 0, {16777216, 16777216, 16777216}, kTokenDif},  // float sums
      {"0 2147483647 -2147483648 2147483648", 0, {2147483647.0f, -2147483648.0f, 0}, kTokenPlain},
      {"450 ,; ", 450, {}, kTokenNone},
      {"Q1 5", kUnsetDouble, {5}, kTokenPlain},  // an abscissa that is no number
      // Tokens count up to kTokenMax characters.
      {"450 " + std::string(100, '1'), 450, {0}, kTokenPlain},
      {"450 " + zeros + "7 3", 450, {0, 3}, kTokenPlain},
      {"450 @" + zeros + "5", 450, {0}, kTokenSqz},
      {"450 -" + std::string(78, '0') + "12", 450, {-1}, kTokenPlain},
      {"450 A1%" + std::string(78, '0') + "12", 450, {11, 12}, kTokenDif},  // the step is 0...01
      {"4" + std::string(79, '0') + "123456 1", 4e79, {1}, kTokenPlain},
      // The previous line ended in DIF; DUP and '?' leave lastKind as it was.
      {"450 ?T", 450, {kM, kM}, kTokenDif, kTokenDif},
      {"450 W", 450, {0, 0, 0, 0, 0}, kTokenDif, kTokenDif},
      // More ordinates than room: all are counted, none is stored past it.
      {zigzag, 1, std::vector<float>(10, 0.0f), kTokenNone, kTokenNone, 89 + 88 * 61 + 7},
      {huge, 1, std::vector<float>(5, 11.0f), kTokenSqz, kTokenNone, 1 + 12 * (1000000000ull - 1)},
      {"1 1 2 3 J1 ? 4", 1, {1, 2}, kTokenPlain, kTokenNone, 6},
      {"1 A1J1U", 1, {}, kTokenDif, kTokenNone, 4},  // no room at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    double x = -1;
    uint32_t lastKind = c.lastKindBefore;
    const uint32_t capacity = static_cast<uint32_t>(c.values.size());
    std::vector<float> values(capacity + 1, kGuard);
    EXPECT_EQ(decodeXyDataLine(c.line.c_str(), x, values.data(), capacity, lastKind),
              c.count > 0 ? c.count : capacity);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(lastKind, c.lastKind);
    EXPECT_EQ(values, guarded(c.values, capacity + 1));
  }
}

// What a line notes in either reading, and what the real-number reading with
// double values (the standard rules) makes of it.
TEST(AsdfDecoderTest, XyDataLinesReadAsRealNumbersInDouble) {
  struct Case {
    std::string line;
    double x;
    std::vector<double> values;  // read as real numbers, in double
    uint32_t hostNotes;          // what the host-compatible reading notes
  };
  const double big = 16777216;  // 2^24
  const Case cases[] = {
      {"450.219 1.0240 1.0240", 450.219, {1.024, 1.024}, kWarnDecimalSplit},
      {"450 .5 -.25 +7.", 450, {0.5, -0.25, 7}, kWarnDecimalSplit},
      {" .5 1 .25", 0.5, {1, 0.25}, kWarnDecimalSplit},  // an abscissa that begins with its point
      {"1 1.5E+3 2e-2 3E+1", 1, {1500, 0.02, 30}, kWarnDecimalSplit},
      {"1.5E+2 7", 150, {7}, kWarnDecimalSplit},  // an abscissa may have an exponent
      // Without a sign, E and e are SQZ +5 and -5, also right after a '.'.
      {"1 15E3", 1, {15, 53}, 0},
      {"608.1E07312889", 608.1, {507312889}, kWarnPrecision},
      {"12.5e3 1.5E2", 12.5, {-53, 1.5, 52}, kWarnDecimalSplit},
      {"450 A23nnU", 450, {123, 118, 113, 108, 103}, 0},
      {"0 16777216JJ", 0, {big, big + 1, big + 2}, kWarnPrecision},
      {"0 16777215JJ", 0, {big - 1, big, big + 1}, kWarnPrecision},
      {"0 16777214JJ", 0, {big - 2, big - 1, big}, 0},
      {"0 @JU", 0, {0, 1, 2, 3}, 0},
      // Whole numbers past 2^24 lose digits as floats, past 32 bits they read as 0.
      {"0 33554432 -16777216 A6777216", 0, {2 * big, -big, big}, 0},
      {"0 16777217", 0, {big + 1}, kWarnPrecision},
      {"0 A6777217", 0, {big + 1}, kWarnPrecision},
      {"0 @J6777217", 0, {0, big + 1}, kWarnPrecision},
      {"0 A0000000000 -9999999999", 0, {10000000000.0, -9999999999.0}, kWarnPrecision},
      {"0 + - 5", 0, {0, 0, 5}, 0},  // a lone sign reads as 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    double x = -1;
    uint32_t lastKind = kTokenNone;
    LineReading reading;
    reading.decimalOrdinates = true;
    std::vector<double> values(c.values.size(), -1);
    EXPECT_EQ(decodeXyDataLine(c.line.c_str(), x, values.data(),
                               static_cast<uint32_t>(values.size()), lastKind, reading),
              c.values.size());
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(values, c.values);
    EXPECT_EQ(reading.notes, 0u);
    LineReading host;
    std::vector<float> floats(64);
    decodeXyDataLine(c.line.c_str(), x, floats.data(), 64, lastKind, host);
    EXPECT_EQ(host.notes, c.hostNotes);
  }
}

TEST(AsdfDecoderTest, XyPointsLines) {
  struct Case {
    std::string line;
    std::vector<float> xs;  // as many as the capacity the decoder gets
    std::vector<float> ys;
    std::vector<uint32_t> isReal;
    uint32_t lastKind;
    uint32_t count = 0;  // when more than the capacity
  };
  const float u = kUnsetValue;
  const float inf = std::numeric_limits<float>::infinity();
  const Case cases[] = {
      {"1.5, 1.5E-3", {1.5f}, {0.0015f}, {1}, kTokenPlain},
      {"-5.5, -3 -6 +2.5e+1", {-5.5f, -6}, {-3, 25}, {1, 0}, kTokenPlain},
      {"100 A5 101 J2 102 j1", {100, 101, 102}, {15, 27, 16}, {0, 0, 0}, kTokenDif},
      {"100 J2", {100}, {0}, {0}, kTokenDif},  // a DIF as first ordinate
      {"100 A.5", {100}, {1.5f}, {0}, kTokenSqz},
      {"100, ?; 101, 7", {100, 101}, {kM, 7}, {0, 0}, kTokenPlain},
      {"100, 5; 101", {100, 101}, {5, kM}, {0, 0}, kTokenPlain},  // no ordinate at the end
      // A DUP is not consumed: it starts the next point, which is no number.
      {"100, S5", {100, u}, {kM, kM}, {0, 0}, kTokenNone},
      {"1.5 2 A 3", {1.5f, u}, {2, 3}, {1, 1}, kTokenPlain},  // the flag carries on
      {std::string(127, ';'), {}, {}, {}, kTokenNone},
      {"1 1; 2 2; 3 3; 4 J1", {1, 2}, {1, 2}, {0, 0}, kTokenDif, 4},  // past the capacity
      // Tokens of 100 digits: the 80 that count, as floats; a negative SQZ one
      // grows by a character as its letter becomes "-1".
      {std::string(100, '9') + " " + std::string(100, '8'), {inf}, {inf}, {0}, kTokenPlain},
      {"1 i" + std::string(99, '7'), {1}, {-inf}, {0}, kTokenSqz},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const uint32_t capacity = static_cast<uint32_t>(c.xs.size());
    std::vector<float> xs(capacity + 1, kGuard), ys(capacity + 1, kGuard);
    std::vector<uint32_t> isReal(capacity + 1, 9);
    uint32_t lastKind = kTokenNone;
    EXPECT_EQ(decodeXyPointsLine(c.line.c_str(), 1, lastKind, xs.data(), ys.data(), isReal.data(),
                                 capacity),
              c.count > 0 ? c.count : capacity);
    EXPECT_EQ(xs, guarded(c.xs, capacity + 1));
    EXPECT_EQ(ys, guarded(c.ys, capacity + 1));
    isReal.pop_back();
    EXPECT_EQ(isReal, c.isReal);
    EXPECT_EQ(lastKind, c.lastKind);
  }
}

// Read as real numbers, a pair's abscissa may begin with its point.
TEST(AsdfDecoderTest, XyPointsLinesReadAsRealNumbers) {
  LineReading reading;
  reading.decimalOrdinates = true;
  float xs[3] = {};
  double ys[3] = {};
  uint32_t isReal[3] = {};
  uint32_t lastKind = kTokenNone;
  EXPECT_EQ(decodeXyPointsLine(".5, 1; .25, -.5 3 4", 1, lastKind, xs, ys, isReal, 3, reading), 3u);
  EXPECT_EQ(std::vector<float>(xs, xs + 3), (std::vector<float>{0.5f, 0.25f, 3}));
  EXPECT_EQ(std::vector<double>(ys, ys + 3), (std::vector<double>{1, -0.5, 4}));
  EXPECT_EQ(std::vector<uint32_t>(isReal, isReal + 3), (std::vector<uint32_t>{1, 1, 0}));
}

TEST(AsdfDecoderTest, ConcentrationLines) {
  // The first field is no value, even "C6"; 'A' is passed over, not ASDF; a
  // lone sign and an out-of-range number read as unset.
  const std::pair<const char*, std::vector<float>> cases[] = {
      {"(benzene, 12.5, %)", {12.5f}},
      {"(C6H6, 12.5, %)", {6, 12.5f}},
      {"1 0.25 0.75", {0.25f, 0.75f}},
      {"(A, -1.5e-2, %)", {-0.015f}},
      {"(name, A23, ?)", {23}},
      {"(a-b, 5)", {kUnsetValue, 5}},
      {"(n, 1e999)", {kUnsetValue}},
      {"water", {}},
      {"12.5", {}},
      {"", {}},
  };
  for (const auto& [line, expected] : cases) {
    const uint32_t capacity = static_cast<uint32_t>(expected.size());
    std::vector<float> values(capacity + 1, kGuard);
    EXPECT_EQ(decodeNumberLine(line, values.data(), capacity), capacity) << line;
    EXPECT_EQ(values, guarded(expected, capacity + 1)) << line;
  }
  std::vector<float> values(3, kGuard);  // room for two of the four
  EXPECT_EQ(decodeNumberLine("0 1 2 3 4", values.data(), 2), 4u);
  EXPECT_EQ(values, guarded({1, 2}, 3));
}

}  // namespace
}  // namespace jcamp
