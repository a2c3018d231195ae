// jcamp-import writes the shortest text of a float with exact integer
// arithmetic where it can: its text must be std::to_chars' own, byte for
// byte, above all around the powers of two where the spacing of floats
// changes and at the ends of the range the quick way covers.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "number_text.h"

namespace {

float fromBits(uint32_t bits) {
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The float's text both ways, or "" when they agree.
std::string mismatch(float value) {
  char ours[kNumberTextMax];
  char theirs[kNumberTextMax];
  const std::string a(ours, writeShortestText(ours, value));
  const std::string b(theirs, std::to_chars(theirs, theirs + sizeof theirs, value).ptr);
  return a == b ? std::string() : a + " != " + b;
}

TEST(ShortestTextTest, AgreesWithTheStandardLibrary) {
  int failures = 0;
  const auto check = [&failures](uint32_t bits) {
    const float value = fromBits(bits);
    if (std::isnan(value)) return;
    const std::string differs = mismatch(value);
    if (!differs.empty() && failures++ < 10) ADD_FAILURE() << std::hex << bits << ": " << differs;
  };
  // Every float near each power of two from 2^-22 to 2^26, both signs.
  for (int exponent = -22; exponent <= 26; ++exponent) {
    const uint32_t power = static_cast<uint32_t>(127 + exponent) << 23;
    for (uint32_t sign : {0u, 0x80000000u}) {
      for (uint32_t near = power - 4096; near != power + 4096; ++near) check(sign | near);
    }
  }
  check(0x80000000u);  // a negative zero
  // A spread over every float, NaN aside.
  for (uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 4099) check(static_cast<uint32_t>(bits));
  // Values as spectra hold them: integers scaled by 10^-6.
  for (int32_t i = -2000000; i <= 2000000; i += 7) {
    const float value = static_cast<float>(i * 1e-6);
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    check(bits);
  }
  EXPECT_EQ(failures, 0);
  char text[kNumberTextMax];
  EXPECT_EQ(writeShortestText(text, std::nanf("")), text) << "a missing value writes nothing";
}

}  // namespace
