#include "number_text.h"

#include <charconv>
#include <cmath>

namespace {

constexpr int kDecimals = 6;
// A float's largest value is 39 digits before the point: with sign, point
// and six decimals it fits.
static_assert(kNumberTextMax >= 48, "room for %f of any float");

}  // namespace

char* writeFixedText(char* out, float value) {
  return std::to_chars(out, out + kNumberTextMax, static_cast<double>(value),
                       std::chars_format::fixed, kDecimals)
      .ptr;
}

char* writeShortestText(char* out, float value) {
  if (std::isnan(value)) return out;
  return std::to_chars(out, out + kNumberTextMax, value).ptr;
}
