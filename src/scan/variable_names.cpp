#include "scan/variable_names.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

#include "labels/markers.h"
#include "labels/narrow_to_float.h"

namespace jcamp {
namespace {

// Up to each bound (inclusive) the name carries this many decimals.
struct NameRow {
  double bound;
  int32_t precision;
};
constexpr NameRow kPositiveRows[] = {{9.999999, 6}, {99.99999, 5}, {999.9999, 4},
                                     {9999.999, 3}, {99999.99, 2}, {999999.9, 1}};
constexpr NameRow kNegativeRows[] = {
    {9.99999, 6}, {99.9999, 4}, {999.999, 3}, {9999.99, 2}, {99999.9, 1}};
constexpr double kSmallestFixed = 0.0001;

// Magnitudes written in fixed point by formatScientific, as float constants.
constexpr float kFixedFrom = 0.1f;
constexpr float kFixedTo = 1000.0f;
constexpr int32_t kMaxPrecision = 100;

std::string padded(const char* first, const char* last, int32_t width) {
  const size_t length = static_cast<size_t>(last - first);
  const size_t field = static_cast<size_t>(width < 0 ? -static_cast<int64_t>(width) : width);
  if (field <= length) return std::string(first, last);
  std::string text(field, ' ');
  text.replace(width < 0 ? 0 : field - length, length, first, length);
  return text;
}

}  // namespace

std::string formatFixed(double x, int32_t precision) {
  // Room for the largest double in fixed notation plus sign and decimals.
  char text[400];
  const auto result =
      std::to_chars(text, text + sizeof text, x, std::chars_format::fixed, precision);
  if (result.ec != std::errc()) return std::string();
  return std::string(text, result.ptr);
}

std::string formatIntegerName(int32_t value) {
  char text[16];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string formatVariableName(double x) {
  const double magnitude = std::fabs(x);
  if (magnitude >= kSmallestFixed) {
    const NameRow* row = x < 0 ? std::begin(kNegativeRows) : std::begin(kPositiveRows);
    const NameRow* last = x < 0 ? std::end(kNegativeRows) : std::end(kPositiveRows);
    for (; row != last; ++row) {
      if (magnitude <= row->bound) return formatFixed(x, row->precision);
    }
  }
  return formatScientific(narrowToFloat(x), 0, 1);
}

std::string formatScientific(float v, int32_t width, int32_t precision) {
  if (isMissingValue(v))
    return std::string(width > 1 ? static_cast<size_t>(width - 1) : 0, ' ') + "m";
  precision = precision < 0 ? 6 : std::min(precision, kMaxPrecision);
  const double d = v == 0.0f ? 0.0 : static_cast<double>(v);
  const double magnitude = std::fabs(d);
  const bool fixed = d == 0.0 || (magnitude >= kFixedFrom && magnitude <= kFixedTo);
  // A float's decimal exponent has at most two digits, which std::to_chars
  // writes as two: "1.2e+06", never "1.2e+006".
  char text[kMaxPrecision + 16];
  const auto result =
      std::to_chars(text, text + sizeof text, d,
                    fixed ? std::chars_format::fixed : std::chars_format::scientific, precision);
  return padded(text, result.ptr, width);
}

}  // namespace jcamp
