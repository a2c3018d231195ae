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

// Almost every value takes the exact path. Said so, because the compiler
// otherwise guesses that path cold and divides by the constants with div.
inline bool likely(bool condition) {
#if defined(__GNUC__)
  return __builtin_expect(condition, 1);
#else
  return condition;
#endif
}

constexpr double kRoundingShift = 4503599627370496.0;  // 2^52

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// value * 10^6 rounded to the nearest whole number, ties to even: the
// mantissa times 5^6 is exact, so only the power of two needs rounding.
// False when the result would not fit.
bool scaledMagnitude(uint32_t bits, uint64_t& scaled) {
  const uint32_t exponentBits = (bits >> 23) & 0xFF;
  uint64_t mantissa = bits & 0x7FFFFF;
  int32_t exponent = 0;
  if (exponentBits == 0) {
    exponent = 1 - 127 - 23;  // subnormal
  } else {
    mantissa |= 0x800000;
    exponent = static_cast<int32_t>(exponentBits) - 127 - 23;
  }
  const uint64_t product = mantissa * kFivePower;
  const int32_t shift = exponent + kTwoPower;
  if (shift >= 0) {
    if (shift > kLargestShift) return false;
    scaled = product << shift;
    return true;
  }
  if (shift < -62) {
    scaled = 0;  // below half a millionth
    return true;
  }
  const uint32_t drop = static_cast<uint32_t>(-shift);
  const uint64_t whole = product >> drop;
  const uint64_t rest = product & ((uint64_t{1} << drop) - 1);
  const uint64_t half = uint64_t{1} << (drop - 1);
  // Rounding up is as likely as not: added, not branched on.
  const bool up = (rest > half) | ((rest == half) & ((whole & 1) != 0));
  scaled = whole + static_cast<uint64_t>(up);
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
  if (likely(magnitude < kRoundingShift)) {
    const double rounded = (magnitude + kRoundingShift) - kRoundingShift;
    return writeScaled(negative, static_cast<uint64_t>(rounded), out);
  }
  uint64_t scaled = 0;
  if (((bits >> 23) & 0xFF) != 0xFF && scaledMagnitude(bits, scaled)) {
    return writeScaled(negative, scaled, out);
  }
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
