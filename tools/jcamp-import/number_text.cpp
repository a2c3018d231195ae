#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "float_digits.h"

namespace {

constexpr int kDecimals = 6;
// A float's largest value is 39 digits before the point: with sign, point
// and six decimals it fits.
static_assert(kNumberTextMax >= 48, "room for %f of any float");

// "00" to "99".
constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The decimal digits of value, ending at end; returns where they begin.
char* digitsBefore(char* end, uint32_t value) {
  while (value >= 100) {
    end -= 2;
    std::memcpy(end, kPairs + (value % 100) * 2, 2);
    value /= 100;
  }
  if (value >= 10) {
    end -= 2;
    std::memcpy(end, kPairs + value * 2, 2);
  } else {
    *--end = static_cast<char>('0' + value);
  }
  return end;
}

// A decimal as digits x 10^exponent, digits without a trailing zero.
struct Decimal {
  uint32_t digits = 0;
  int32_t exponent = 0;
};

// digits x 10^exponent as std::to_chars writes a float without a format: fixed
// notation unless scientific is shorter. out has room for kNumberTextMax
// bytes: pieces are copied 16 bytes at a time, past what counts.
char* writeDecimal(char* out, const Decimal& decimal) {
  // The digits end half-way, so that 16 bytes from any of them can be read.
  char buffer[32] = {};
  const char* digits = digitsBefore(buffer + 16, decimal.digits);
  const int n = static_cast<int>(buffer + 16 - digits);
  const int point = n + decimal.exponent;  // digits before the decimal point
  const int fixedLength = point <= 0 ? 2 - point + n : (point < n ? n + 1 : point);
  const int scientificExponent = point - 1;
  const int exponentDigits = scientificExponent >= 100 || scientificExponent <= -100 ? 3 : 2;
  const int scientificLength = n + (n > 1 ? 1 : 0) + 2 + exponentDigits;
  if (fixedLength <= scientificLength) {
    // Fixed is chosen only while it is short: at most 3 zeros lead, 5 trail.
    if (point <= 0) {
      std::memcpy(out, "0.000000", 8);
      std::memcpy(out + 2 - point, digits, 16);
    } else if (point < n) {
      std::memcpy(out, digits, 16);
      std::memcpy(out + point + 1, digits + point, 16);
      out[point] = '.';
    } else {
      std::memcpy(out, digits, 16);
      std::memcpy(out + n, "00000000", 8);
    }
    return out + fixedLength;
  }
  out[0] = digits[0];
  out[1] = '.';
  std::memcpy(out + 2, digits + 1, 16);
  out += n > 1 ? n + 1 : 1;
  *out++ = 'e';
  *out++ = scientificExponent < 0 ? '-' : '+';
  int magnitude = scientificExponent < 0 ? -scientificExponent : scientificExponent;
  if (exponentDigits == 3) {
    *out++ = static_cast<char>('0' + magnitude / 100);
    magnitude %= 100;
  }
  std::memcpy(out, kPairs + magnitude * 2, 2);
  return out + 2;
}

// A value in [0.1, 8) given in millionths: always fixed, "I.FFFFFF" with the
// trailing zeros of the fraction (and a point without one) left off.
char* writeMillionths(char* out, uint32_t millionths) {
  const uint32_t whole = millionths / 1000000;
  const uint32_t fraction = millionths - whole * 1000000;
  out[0] = static_cast<char>('0' + whole);
  out[1] = '.';
  std::memcpy(out + 2, kPairs + (fraction / 10000) * 2, 2);
  std::memcpy(out + 4, kPairs + (fraction / 100 % 100) * 2, 2);
  std::memcpy(out + 6, kPairs + (fraction % 100) * 2, 2);
  char* end = out + 8;
  while (end[-1] == '0') --end;
  return end[-1] == '.' ? end - 1 : end;
}

}  // namespace

char* writeFixedText(char* out, float value) {
  return std::to_chars(out, out + kNumberTextMax, static_cast<double>(value),
                       std::chars_format::fixed, kDecimals)
      .ptr;
}

char* writeShortestText(char* out, float value) {
  if (std::isnan(value)) return out;
  if (value == 0) {
    // Spectra hold many: "0", or "-0" for a negative zero.
    if (std::signbit(value)) *out++ = '-';
    *out = '0';
    return out + 1;
  }
  uint32_t millionths = 0;
  if (!shortestSixDecimals(value, millionths)) {
    return std::to_chars(out, out + kNumberTextMax, value).ptr;
  }
  if (std::signbit(value)) *out++ = '-';
  if (millionths >= 100000) return writeMillionths(out, millionths);
  Decimal decimal{millionths, -6};
  while (decimal.digits % 10 == 0) {
    decimal.digits /= 10;
    ++decimal.exponent;
  }
  return writeDecimal(out, decimal);
}
