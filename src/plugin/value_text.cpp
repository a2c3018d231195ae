#include "plugin/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "labels/markers.h"

namespace jcamp {
namespace {

constexpr int32_t kDecimals = 6;
constexpr uint64_t kDecimalScale = 1000000;  // 10^kDecimals = 2^6 * 5^6
constexpr uint64_t kFivePower = 15625;       // 5^kDecimals
constexpr int32_t kTwoPower = 6;             // the 2^6 of kDecimalScale
// Scaled values below this are formatted exactly in 64-bit integers.
constexpr int32_t kLargestShift = 63 - 38;  // a float's 24-bit mantissa times 5^6 fits in 38 bits

constexpr double kRoundingShift = 4503599627370496.0;  // 2^52

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// value * 10^6 for a finite float of at least 2^52 millionths (below that
// the double product serves): a whole number, the mantissa times 5^6 shifted
// left. False where it would not fit, or for any other float: the general
// conversion then writes the same text.
bool scaledMagnitude(uint32_t bits, uint64_t& scaled) {
  const uint32_t exponentBits = (bits >> 23) & 0xFF;
  if (exponentBits == 0 || exponentBits == 0xFF) return false;
  const uint64_t product = ((bits & 0x7FFFFF) | 0x800000) * kFivePower;
  const int32_t shift = static_cast<int32_t>(exponentBits) - 127 - 23 + kTwoPower;
  if (shift < 0 || shift > kLargestShift) return false;
  scaled = product << shift;
  return true;
}

// Writes value's digits right to left, ending just before end; returns the start.
char* writeDigitsBackwards(uint64_t value, char* end) {
  while (value >= 100) {
    const auto pair = static_cast<size_t>(value % 100) * 2;
    value /= 100;
    *--end = kDigitPairs[pair + 1];
    *--end = kDigitPairs[pair];
  }
  if (value >= 10) {
    const auto pair = static_cast<size_t>(value) * 2;
    *--end = kDigitPairs[pair + 1];
    *--end = kDigitPairs[pair];
  } else {
    *--end = static_cast<char>('0' + value);
  }
  return end;
}

int32_t countDigits(uint64_t value) {
  int32_t digits = 1;
  for (; value >= 10; value /= 10) ++digits;
  return digits;
}

void writePair(uint32_t twoDigits, char* out) {
  std::memcpy(out, kDigitPairs + twoDigits * 2, 2);
}

// The sign, the whole part, the point and six decimals, straight into out.
size_t writeScaled(bool negative, uint64_t scaled, char* out) {
  const uint64_t whole = scaled / kDecimalScale;
  const auto fraction = static_cast<uint32_t>(scaled - whole * kDecimalScale);
  char* p = out;
  if (negative) *p++ = '-';
  p += countDigits(whole);
  writeDigitsBackwards(whole, p);
  *p++ = '.';
  writePair(fraction / 10000, p);
  writePair(fraction / 100 % 100, p + 2);
  writePair(fraction % 100, p + 4);
  p[kDecimals] = '\0';
  return static_cast<size_t>(p + kDecimals - out);
}

}  // namespace

size_t writeValueText(float value, char* out) {
  if (isMissingValue(value)) {
    out[0] = 'm';
    out[1] = '\0';
    return 1;
  }
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 31) != 0;
  // A float times 10^6 is exact in a double (24 + 14 bits); below 2^52,
  // adding and taking away 2^52 rounds it to a whole number, ties to even
  // (the processor's rounding as it starts, which the module never changes).
  const double magnitude =
      std::fabs(static_cast<double>(value)) * static_cast<double>(kDecimalScale);
  if (magnitude < kRoundingShift) {
    const double rounded = (magnitude + kRoundingShift) - kRoundingShift;
    return writeScaled(negative, static_cast<uint64_t>(rounded), out);
  }
  uint64_t scaled = 0;
  if (scaledMagnitude(bits, scaled)) return writeScaled(negative, scaled, out);
  // Large values, infinities and NaN: the general conversion.
  const auto result = std::to_chars(out, out + kValueTextCapacity - 1, static_cast<double>(value),
                                    std::chars_format::fixed, kDecimals);
  if (result.ec != std::errc()) {
    out[0] = '\0';
    return 0;
  }
  *result.ptr = '\0';
  return static_cast<size_t>(result.ptr - out);
}

}  // namespace jcamp
