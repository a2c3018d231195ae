#include "labels/asdf_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "labels/markers.h"
#include "labels/value_parsers.h"

namespace jcamp {
namespace {

constexpr float kM = kMissingValue;
constexpr float kGuard = -123456.0f;  // marks array entries a decoder must not touch

TEST(AsdfDecoderTest, CharacterClasses) {
  std::string expected(256, '0');
  const auto mark = [&](const char* characters, char kind) {
    for (const char* c = characters; *c; ++c) expected[static_cast<unsigned char>(*c)] = kind;
  };
  mark("0123456789", '1');
  mark("+-", '2');
  mark("@ABCDEFGHIabcdefghi", '3');
  mark("%JKLMNOPQRjklmnopqr", '4');
  mark("STUVWXYZs", '5');
  mark("?", '6');
  expected[0] = '7';
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(static_cast<char>('0' + asdfClassOf(static_cast<char>(c))),
              expected[static_cast<size_t>(c)])
        << "byte " << c;
  }
}

TEST(AsdfDecoderTest, ToDecimalRewritesTheFirstCharacter) {
  struct Case {
    const char* token;
    const char* decimal;
  };
  const Case cases[] = {
      {"A23", "123"}, {"j45", "-145"}, {"T3", "23"},  {"%", "0"},  {"?", "0"},
      {"@7", "07"},   {"s", "9"},      {"Z", "8"},    {"i", "-9"}, {"+5", "+5"},
      {"-5", "-5"},   {"42", "42"},    {"x12", "12"}, {"", ""},
  };
  for (const Case& c : cases) {
    char token[kTokenBufferSize] = {};
    std::strcpy(token, c.token);
    EXPECT_STREQ(asdfToDecimal(token), c.decimal) << c.token;
  }
  // The longest token grows by one character and still fits; longer text is cut first.
  char token[kTokenBufferSize + 20];
  std::memset(token, '7', sizeof token);
  token[0] = 'r';
  token[sizeof token - 1] = '\0';
  asdfToDecimal(token);
  EXPECT_EQ(std::strlen(token), kTokenMax + 1);
  EXPECT_EQ(std::string(token, 3), "-97");
}

struct XyDataCase {
  const char* line;
  double x;
  std::vector<float> values;
  uint32_t lastKind;
};

void expectXyData(const XyDataCase& c, uint32_t lastKindBefore = kTokenNone) {
  SCOPED_TRACE(c.line);
  double x = -1;
  uint32_t lastKind = lastKindBefore;
  std::vector<float> values(c.values.size() + 4, kGuard);
  const uint64_t n =
      decodeXyDataLine(c.line, x, values.data(), static_cast<uint32_t>(values.size()), lastKind);
  EXPECT_EQ(x, c.x);
  EXPECT_EQ(lastKind, c.lastKind);
  ASSERT_EQ(n, c.values.size());
  for (size_t i = 0; i < c.values.size(); ++i)
    EXPECT_EQ(values[i], c.values[i]) << "ordinate " << i;
  EXPECT_EQ(values[c.values.size()], kGuard);
}

TEST(AsdfDecoderTest, XyDataLines) {
  const XyDataCase cases[] = {
      // The X++(Y..Y) example: n is DIF -5, U repeats the step twice more.
      {"450 A23nnU", 450, {123, 118, 113, 108, 103}, kTokenDif},
      {"450 1 2 3", 450, {1, 2, 3}, kTokenPlain},
      {"450 1 2 3 ;", 450, {1, 2, 3}, kTokenPlain},
      {"450,1,-2;+3", 450, {1, -2, 3}, kTokenPlain},
      {"450 ? 5", 450, {kM, 5}, kTokenPlain},
      {"450 W", 450, {0, 0, 0, 0, 0}, kTokenNone},  // a DUP as first ordinate: zeros
      {"450 S5", 450, std::vector<float>(15, 0.0f), kTokenNone},
      {"450 15E3", 450, {15, 53}, kTokenSqz},  // 'E' is SQZ +5
      {"1.5E2", 1.5, {52}, kTokenSqz},         // no exponent in the abscissa
      {"450 12.5", 450, {12, 5}, kTokenPlain},
      {"450 J5", 450, {0}, kTokenDif},  // a DIF as first ordinate
      {"450 J5T", 450, {0, 15}, kTokenDif},
      {"-12.5 a1b2", -12.5, {-11, -22}, kTokenSqz},
      {"100 @j5T", 100, {0, -15, -30}, kTokenDif},                  // ends in DUP after DIF
      {"100 A10J2J2U", 100, {110, 122, 134, 146, 158}, kTokenDif},  // DIF run, then DUP
      {"100 A10J2K", 100, {110, 122, 124}, kTokenDif},              // ends in DIF
      {"100 A1J1B1U", 100, {11, 22, 21, 21, 21}, kTokenSqz},        // DUP after SQZ repeats
      {"100 A1J1?T", 100, {11, 22, kM, kM}, kTokenDif},
      {"100 A1J1 5T", 100, {11, 22, 5, 5}, kTokenPlain},
      {"100 A1 S S0", 100, std::vector<float>(10, 11.0f), kTokenSqz},  // S is a count of 1
      {"100 A1S99999999999", 100, {11}, kTokenSqz},                    // an out-of-range count is 0
      {"450 1t2\xC3\xA9;3(4)", 450, {1, 2, 3, 4}, kTokenPlain},        // all separators
      {"450 -", 450, {0}, kTokenPlain},                                // a lone sign reads as 0
      {"450 +-5", 450, {0, -5}, kTokenPlain},
      {"0 16777216JJ", 0, {16777216, 16777216, 16777216}, kTokenDif},  // float sums
      {"450 2147483647 -2147483648 2147483648",
       450,
       {2147483647.0f, -2147483648.0f, 0},
       kTokenPlain},
      {"450", 450, {}, kTokenNone},
      {"450 ,; ", 450, {}, kTokenNone},
      {"Q1 5", kUnsetDouble, {5}, kTokenPlain},  // an abscissa that is no number
  };
  for (const XyDataCase& c : cases) expectXyData(c);
}

TEST(AsdfDecoderTest, XyDataLongTokensAreCut) {
  const std::string hundredOnes(100, '1');
  const std::string zeros85(85, '0');
  const std::string abscissa85 = "4" + std::string(79, '0') + "123456";
  const std::string lines[] = {"450 " + hundredOnes, "450 " + zeros85 + "7 3",
                               "450 @" + zeros85 + "5", "450 A1%" + std::string(78, '0') + "12",
                               abscissa85 + " 1"};
  const XyDataCase expected[] = {
      {lines[0].c_str(), 450, {0}, kTokenPlain},
      {lines[1].c_str(), 450, {0, 3}, kTokenPlain},
      {lines[2].c_str(), 450, {0}, kTokenSqz},
      {lines[3].c_str(), 450, {11, 12}, kTokenDif},  // the step is 0...01: the 2 is cut
      {lines[4].c_str(), 4e79, {1}, kTokenPlain},
  };
  for (const XyDataCase& c : expected) expectXyData(c);
}

TEST(AsdfDecoderTest, XyDataDupRepeatsTheStepOnlyAfterADifOfTheSameLine) {
  // The previous line ended in DIF, but this line has none: plain copies.
  expectXyData({"450 ?T", 450, {kM, kM}, kTokenDif}, kTokenDif);
  expectXyData({"450 A5T", 450, {15, 15}, kTokenSqz}, kTokenDif);
  expectXyData({"450 W", 450, {0, 0, 0, 0, 0}, kTokenDif}, kTokenDif);
}

TEST(AsdfDecoderTest, XyDataNeverWritesPastCapacity) {
  uint32_t lastKind = kTokenNone;
  double x = 0;
  std::vector<float> values(16, kGuard);

  // 127 characters of DUP tokens: 89 zeros, then 88 more per "Z9".
  const std::string dups = "1 " + [] {
    std::string s;
    while (s.size() < 125) s += "Z9";
    return s.substr(0, 125);
  }();
  ASSERT_EQ(dups.size(), 127u);
  const uint64_t tokens = 62;  // "Z9" pairs in 125 characters; the last lone 'Z' counts 8
  EXPECT_EQ(decodeXyDataLine(dups.c_str(), x, values.data(), 10, lastKind),
            89 + 88 * (tokens - 1) + 7);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(values[i], 0.0f);
  for (int i = 10; i < 16; ++i) EXPECT_EQ(values[i], kGuard);

  // DUP counts of 10^9: the exact count comes back, well beyond 32 bits.
  std::string huge = "1 A1";
  for (int i = 0; i < 12; ++i) huge += "S000000000";
  std::fill(values.begin(), values.end(), kGuard);
  EXPECT_EQ(decodeXyDataLine(huge.c_str(), x, values.data(), 5, lastKind),
            1 + 12 * (1000000000ull - 1));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(values[i], 11.0f);
  EXPECT_EQ(values[5], kGuard);

  // Plain ordinates past the end, and no array at all.
  std::fill(values.begin(), values.end(), kGuard);
  EXPECT_EQ(decodeXyDataLine("1 1 2 3 J1 ? 4", x, values.data(), 2, lastKind), 6u);
  EXPECT_EQ(values[1], 2.0f);
  EXPECT_EQ(values[2], kGuard);
  EXPECT_EQ(decodeXyDataLine("1 A1J1U", x, nullptr, 0, lastKind), 4u);
  EXPECT_EQ(lastKind, kTokenDif);
}

// The X++(Y..Y) rules read literally: every token is copied into a cleared
// buffer (cut at kTokenMax), rewritten by asdfToDecimal and read by parseInt.
std::vector<float> literalXyData(const char* line, double& x, uint32_t& lastKind) {
  std::vector<float> values;
  const char* p = line;
  char token[kTokenBufferSize];
  size_t length = 0;
  const auto clear = [&] {
    std::memset(token, 0, sizeof token);
    length = 0;
  };
  const auto take = [&] {
    if (length < kTokenMax) token[length++] = *p;
    ++p;
  };
  const auto takeDigits = [&] {
    while (*p >= '0' && *p <= '9') take();
  };
  const auto skip = [&] {
    while (asdfClassOf(*p) == kAsdfSeparator) ++p;
  };
  clear();
  skip();
  if (*p == '\0') return values;
  take();
  while ((*p >= '0' && *p <= '9') || *p == '.') take();
  x = parseDouble(token);
  int32_t difStep = 0;
  bool difSeen = false;
  while (*p != '\0') {
    clear();
    skip();
    if (*p == '\0') break;
    const AsdfClass kind = asdfClassOf(*p);
    if (kind == kAsdfMissing) {
      values.push_back(kMissingValue);
      ++p;
      continue;
    }
    take();
    takeDigits();
    if (kind != kAsdfDigit && kind != kAsdfSign) asdfToDecimal(token);
    const int32_t value = parseInt(token);
    if (kind == kAsdfDup) {
      if (values.empty()) {
        values.assign(static_cast<size_t>(std::max(value, 0)), 0.0f);
      } else {
        for (int32_t k = 1; k < value; ++k) {
          const bool step = lastKind == kTokenDif && difSeen;
          values.push_back(values.back() + (step ? static_cast<float>(difStep) : 0.0f));
        }
      }
    } else if (kind == kAsdfDif) {
      difStep = value;
      difSeen = true;
      values.push_back(values.empty() ? 0.0f : values.back() + static_cast<float>(value));
      lastKind = kTokenDif;
    } else {
      values.push_back(static_cast<float>(value));
      lastKind = kind == kAsdfSqz ? kTokenSqz : kTokenPlain;
    }
  }
  return values;
}

// Breaks DUP counts of 4 to 9 digits, so that the literal decoder's vector
// stays small; longer counts are out of range and read as 0.
std::string limitDupCounts(const std::string& line) {
  std::string limited;
  for (size_t i = 0; i < line.size();) {
    limited += line[i];
    if (asdfClassOf(line[i++]) != kAsdfDup) continue;
    size_t digits = 0;
    while (i + digits < line.size() && asdfClassOf(line[i + digits]) == kAsdfDigit) ++digits;
    if (digits > 3 && digits < 10) {
      limited += line.substr(i, 3) + " ";
      i += 3;
    }
  }
  return limited;
}

std::string randomXyDataLine(std::mt19937& random) {
  static const char* const kPieces[] = {
      "0", "7", "12", "999", "2147483647", "-", "+", "@",    "A",         "I", "a",
      "i", "%", "J",  "R",   "j",          "r", "S", "Z",    "s",         "?", " ",
      ",", ";", ".",  "E",   "e",          "t", "(", "\xff", "000000000",
  };
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> length(0, 40);
  std::string line;
  for (int i = length(random); i > 0; --i) line += kPieces[piece(random)];
  if (random() % 8 == 0) line += std::string(90, '0') + "1";
  return limitDupCounts(line.substr(0, 127));
}

TEST(AsdfDecoderTest, XyDataAgreesWithTheLiteralRules) {
  std::mt19937 random(20240607);
  for (int i = 0; i < 20000; ++i) {
    const std::string line = randomXyDataLine(random);
    SCOPED_TRACE(line);
    double literalX = -1;
    double x = -1;
    uint32_t literalKind = i % 5;
    uint32_t lastKind = literalKind;
    const std::vector<float> expected = literalXyData(line.c_str(), literalX, literalKind);
    std::vector<float> values(expected.size() + 1, kGuard);
    const uint64_t n = decodeXyDataLine(line.c_str(), x, values.data(),
                                        static_cast<uint32_t>(expected.size()), lastKind);
    ASSERT_EQ(n, expected.size());
    ASSERT_EQ(lastKind, literalKind);
    ASSERT_EQ(x, literalX);
    for (size_t k = 0; k < expected.size(); ++k) ASSERT_EQ(values[k], expected[k]) << k;
    ASSERT_EQ(values[expected.size()], kGuard);
  }
}

TEST(AsdfDecoderTest, XyPointsLines) {
  struct Case {
    const char* line;
    double xFactor;
    std::vector<float> xs;
    std::vector<float> ys;
    std::vector<uint32_t> isReal;
    uint32_t lastKind;
  };
  const float u = kUnsetValue;
  const Case cases[] = {
      {"100.0, 5; 101, 7", 1, {100, 101}, {5, 7}, {1, 0}, kTokenPlain},
      {"100, 5; 101, 7", 2, {200, 202}, {5, 7}, {0, 0}, kTokenPlain},
      {"1.5, 1.5E-3", 1, {1.5f}, {0.0015f}, {1}, kTokenPlain},
      {"-5.5, -3 -6 +2.5e+1", 1, {-5.5f, -6}, {-3, 25}, {1, 0}, kTokenPlain},
      {"100 A5 101 J2 102 j1", 1, {100, 101, 102}, {15, 27, 16}, {0, 0, 0}, kTokenDif},
      {"100 J2", 1, {100}, {0}, {0}, kTokenDif},  // a DIF as first ordinate
      {"100 A.5", 1, {100}, {1.5f}, {0}, kTokenSqz},
      {"100, ?; 101, 7", 1, {100, 101}, {kM, 7}, {0, 0}, kTokenPlain},
      {"100, 5; 101", 1, {100, 101}, {5, kM}, {0, 0}, kTokenPlain},  // no ordinate at the end
      // A DUP is not consumed: it starts the next point, which is no number.
      {"100, S5", 1, {100, u}, {kM, kM}, {0, 0}, kTokenNone},
      {"1.5 2 A 3", 1, {1.5f, u}, {2, 3}, {1, 1}, kTokenPlain},  // the flag carries on
      {",;, ;", 1, {}, {}, {}, kTokenNone},
      {"", 1, {}, {}, {}, kTokenNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const size_t size = c.xs.size() + 2;
    std::vector<float> xs(size, kGuard), ys(size, kGuard);
    std::vector<uint32_t> isReal(size, 9);
    uint32_t lastKind = kTokenNone;
    const uint32_t n = decodeXyPointsLine(c.line, c.xFactor, lastKind, xs.data(), ys.data(),
                                          isReal.data(), static_cast<uint32_t>(size));
    ASSERT_EQ(n, c.xs.size());
    for (size_t i = 0; i < n; ++i) {
      EXPECT_EQ(xs[i], c.xs[i]) << i;
      EXPECT_EQ(ys[i], c.ys[i]) << i;
      EXPECT_EQ(isReal[i], c.isReal[i]) << i;
    }
    EXPECT_EQ(xs[n], kGuard);
    EXPECT_EQ(lastKind, c.lastKind);
  }
}

TEST(AsdfDecoderTest, XyPointsNeverWritesPastCapacity) {
  float xs[3] = {kGuard, kGuard, kGuard}, ys[3] = {kGuard, kGuard, kGuard};
  uint32_t isReal[3] = {9, 9, 9};
  uint32_t lastKind = kTokenNone;
  EXPECT_EQ(decodeXyPointsLine("1 1; 2 2; 3 3; 4 J1", 1, lastKind, xs, ys, isReal, 2), 4u);
  EXPECT_EQ(ys[1], 2.0f);
  EXPECT_EQ(xs[2], kGuard);
  EXPECT_EQ(ys[2], kGuard);
  EXPECT_EQ(isReal[2], 9u);
  EXPECT_EQ(lastKind, kTokenDif);
  const std::string separators(127, ';');
  EXPECT_EQ(decodeXyPointsLine(separators.c_str(), 1, lastKind, nullptr, nullptr, nullptr, 0), 0u);
  const std::string digits = std::string(100, '9') + " " + std::string(100, '8');
  EXPECT_EQ(decodeXyPointsLine(digits.c_str(), 1, lastKind, xs, ys, isReal, 1), 1u);
  EXPECT_EQ(xs[0], std::numeric_limits<float>::infinity());  // 80 nines, as a float
  EXPECT_EQ(isReal[0], 0u);
}

TEST(AsdfDecoderTest, ConcentrationLines) {
  struct Case {
    const char* line;
    std::vector<float> values;
  };
  const Case cases[] = {
      {"(water, 12.5, %)", {12.5f}},
      {"(benzene, 12.5, %)", {12.5f}},
      {"(C6H6, 12.5, %)", {6, 12.5f}},  // the first field is "C6"
      {"1 0.25 0.75", {0.25f, 0.75f}},
      {"(A, -1.5e-2, %)", {-0.015f}},
      {"(name, A23, ?)", {23}},        // no ASDF here: 'A' is passed over
      {"(a-b, 5)", {kUnsetValue, 5}},  // a lone sign is no number
      {"(n, 1e999)", {kUnsetValue}},
      {"water", {}},
      {"12.5", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<float> values(c.values.size() + 1, kGuard);
    const uint32_t n =
        decodeNumberLine(c.line, values.data(), static_cast<uint32_t>(values.size()));
    ASSERT_EQ(n, c.values.size());
    for (size_t i = 0; i < n; ++i) EXPECT_EQ(values[i], c.values[i]) << i;
    EXPECT_EQ(values[n], kGuard);
  }
  float values[3] = {kGuard, kGuard, kGuard};
  EXPECT_EQ(decodeNumberLine("0 1 2 3 4", values, 2), 4u);
  EXPECT_EQ(values[1], 2.0f);
  EXPECT_EQ(values[2], kGuard);
}

}  // namespace
}  // namespace jcamp
