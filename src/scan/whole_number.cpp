#include "scan/whole_number.h"

#include <limits>

namespace jcamp {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

int32_t leadingInteger(const char* text) {
  if (text == nullptr) return 0;
  while (isWhiteSpace(*text)) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  // Accumulate the magnitude up to one past the largest one we can return.
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  for (; isDigit(*text); ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  if (negative) return static_cast<int32_t>(-magnitude);
  return static_cast<int32_t>(magnitude == kLimit ? kLimit - 1 : magnitude);
}

}  // namespace jcamp
