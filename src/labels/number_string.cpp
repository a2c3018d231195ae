#include "labels/number_string.h"

namespace jcamp {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isExponentMarker(char c) {
  return c == 'e' || c == 'E';
}

// Digits with at most one decimal point in [p, last); a leading point already
// seen is passed in.
bool isDigitsWithOnePoint(const char* p, const char* last, bool pointSeen) {
  for (; p < last; ++p) {
    if (*p == '.') {
      if (pointSeen) return false;
      pointSeen = true;
    } else if (!isDigit(*p)) {
      return false;
    }
  }
  return true;
}

bool hasPoint(const char* p, const char* last) {
  for (; p < last; ++p) {
    if (*p == '.') return true;
  }
  return false;
}

}  // namespace

int checkNumberString(const char* text, int* isReal) {
  if (text == nullptr) return 1;
  const char* first = text;
  while (*first == ' ') ++first;
  const char* last = first;
  while (*last != '\0') ++last;
  while (last > first && last[-1] == ' ') --last;
  if (first == last) return 1;

  const char lead = *first;
  if (lead != '.' && lead != '+' && lead != '-' && !isDigit(lead)) return 1;
  const bool leadingPoint = lead == '.';

  const char* marker = first;
  while (marker < last && !isExponentMarker(*marker)) ++marker;

  if (marker == last) {
    if (!isDigitsWithOnePoint(first + 1, last, leadingPoint)) return 1;
    *isReal = leadingPoint || hasPoint(first + 1, last) ? 1 : 0;
    return 0;
  }
  // An exponent must carry its sign; digits after it are optional.
  if (!isDigitsWithOnePoint(first + 1, marker, leadingPoint)) return 1;
  const char* exponent = marker + 1;
  if (exponent == last || (*exponent != '+' && *exponent != '-')) return 1;
  for (const char* p = exponent + 1; p < last; ++p) {
    if (!isDigit(*p)) return 1;
  }
  *isReal = 1;
  return 0;
}

}  // namespace jcamp
