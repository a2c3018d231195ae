#include "labels/value_parsers.h"

#include <charconv>
#include <cstddef>
#include <limits>
#include <system_error>

#include "labels/markers.h"

namespace jcamp {
namespace {

bool isSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isSign(char c) {
  return c == '+' || c == '-';
}
bool isEmpty(const char* text) {
  return text == nullptr || *text == '\0';
}

const char* skipDigits(const char* p) {
  while (isDigit(*p)) ++p;
  return p;
}

// Decimal exponent, saturated far beyond any floating-point range.
long readExponent(const char* p, const char* last) {
  bool negative = false;
  if (p < last && isSign(*p)) negative = *p++ == '-';
  long exponent = 0;
  for (; p < last && isDigit(*p); ++p) {
    if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
  }
  return negative ? -exponent : exponent;
}

// For a number std::from_chars found out of range: whether it is too small
// (|value| < 1) rather than too large. [first, last) is the number as matched.
bool isTooSmall(const char* first, const char* last) {
  const char* p = first;
  if (isSign(*p)) ++p;
  long magnitude = 0;  // decimal exponent of the first nonzero digit
  bool nonZeroSeen = false;
  bool afterPoint = false;
  for (; p < last && *p != 'e' && *p != 'E'; ++p) {
    if (*p == '.') {
      afterPoint = true;
    } else if (!nonZeroSeen) {
      if (*p != '0') {
        nonZeroSeen = true;
        if (afterPoint) --magnitude;
      } else if (afterPoint) {
        --magnitude;
      }
    } else if (!afterPoint && magnitude < 100000) {
      ++magnitude;
    }
  }
  if (p < last) magnitude += readExponent(p + 1, last);
  return magnitude < 0;
}

// A cursor over a text that extracts like a formatted input stream in the
// classic locale: white space is skipped before each item, a number is the
// longest prefix that forms one, and a failed extraction writes nothing and
// makes every later extraction fail until clear().
class Extractor {
 public:
  explicit Extractor(const char* text) : at_(text) {}

  void clear() { failed_ = false; }

  // One character of any kind but white space; its value is not looked at.
  bool separator() {
    if (failed_) return false;
    skipSpace();
    if (*at_ == '\0') return fail();
    ++at_;
    return true;
  }

  // Decimal only; a minus sign before an unsigned number fails.
  template <typename T>
  bool integer(T& target) {
    if (failed_) return false;
    skipSpace();
    bool negative = false;
    if (isSign(*at_)) negative = *at_++ == '-';
    const char* digits = at_;
    at_ = skipDigits(at_);
    if (at_ == digits || (negative && std::numeric_limits<T>::min() == 0)) return fail();
    const uint64_t limit =
        static_cast<uint64_t>(std::numeric_limits<T>::max()) + (negative ? 1 : 0);
    uint64_t magnitude = 0;
    for (const char* p = digits; p < at_; ++p) {
      magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
      if (magnitude > limit) return fail();
    }
    // Two's complement: the negated magnitude of -2^31 still fits.
    target = negative ? static_cast<T>(0 - magnitude) : static_cast<T>(magnitude);
    return true;
  }

  // [sign] digits [. digits] [(e|E) [sign] digits], at least one mantissa
  // digit. An exponent marker without digits ends the number before it.
  // Too large fails; too small reads as zero.
  template <typename T>
  bool real(T& target) {
    if (failed_) return false;
    skipSpace();
    const char* first = at_;
    const char* p = first;
    if (isSign(*p)) ++p;
    const char* mantissa = p;
    p = skipDigits(p);
    bool hasDigits = p != mantissa;
    if (*p == '.') {
      const char* fraction = ++p;
      p = skipDigits(p);
      hasDigits = hasDigits || p != fraction;
    }
    if (!hasDigits) {
      at_ = p;  // the sign and the point were taken, as a stream would take them
      return fail();
    }
    if (*p == 'e' || *p == 'E') {
      const char* exponent = p + 1;
      if (isSign(*exponent)) ++exponent;
      if (isDigit(*exponent)) p = skipDigits(exponent);
    }
    // std::from_chars takes a minus sign but no plus sign.
    const char* number = *first == '+' ? first + 1 : first;
    T value{};
    const auto result = std::from_chars(number, p, value);
    at_ = p;
    if (result.ec == std::errc::result_out_of_range) {
      if (!isTooSmall(number, p)) return fail();
      value = *first == '-' ? -T(0) : T(0);
    } else if (result.ec != std::errc()) {
      return fail();
    }
    target = value;
    return true;
  }

  // Up to three characters, white space included, until a ',' (left in the
  // text) or the end; fails when not one character was taken.
  void chamberCode(char code[5]) {
    int length = 0;
    while (length < 3 && *at_ != '\0' && *at_ != ',') code[length++] = *at_++;
    code[length] = '\0';
    if (length == 0) failed_ = true;
  }

 private:
  bool fail() {
    failed_ = true;
    return false;
  }
  void skipSpace() {
    while (isSpace(*at_)) ++at_;
  }

  const char* at_;
  bool failed_ = false;
};

// year, separator, month, separator, day: the date of ##DATE= and ##LONGDATE=.
void extractDate(Extractor& in, uint32_t& year, uint32_t& month, uint32_t& day) {
  in.integer(year);
  in.separator();
  in.integer(month);
  in.separator();
  in.integer(day);
}

// hour, separator, minute, separator, seconds: the time of ##TIME= and ##LONGDATE=.
void extractClock(Extractor& in, uint32_t& hour, uint32_t& minute, float& seconds) {
  in.integer(hour);
  in.separator();
  in.integer(minute);
  in.separator();
  in.real(seconds);
}

}  // namespace

uint32_t parseUnsigned(const char* text) {
  uint32_t value = 0;
  if (!isEmpty(text)) Extractor(text).integer(value);
  return value;
}

int32_t parseInt(const char* text) {
  int32_t value = 0;
  if (!isEmpty(text)) Extractor(text).integer(value);
  return value;
}

float parseFloat(const char* text) {
  float value = kUnsetValue;
  if (!isEmpty(text)) Extractor(text).real(value);
  return value;
}

double parseDouble(const char* text) {
  double value = kUnsetDouble;
  if (!isEmpty(text)) Extractor(text).real(value);
  return value;
}

void parseFloatPair(const char* text, float values[2]) {
  if (isEmpty(text)) {
    values[0] = values[1] = kUnsetValue;
    return;
  }
  Extractor in(text);
  in.real(values[0]);
  in.separator();
  in.real(values[1]);
}

void parseChamber(const char* text, char code[5], float values[3]) {
  if (isEmpty(text)) {
    code[0] = code[1] = code[2] = code[3] = '\0';
    values[0] = values[1] = values[2] = kUnsetValue;
    return;
  }
  Extractor in(text);
  in.chamberCode(code);
  for (int i = 0; i < 3; ++i) {
    // Each value is tried even when the one before it failed.
    if (!(in.separator() && in.real(values[i]))) {
      values[i] = kUnsetValue;
      in.clear();
    }
  }
}

void parseDate(const char* text, uint32_t& year, uint32_t& month, uint32_t& day) {
  if (isEmpty(text)) {
    year = month = day = 0;
    return;
  }
  Extractor in(text);
  extractDate(in, year, month, day);
}

void parseTime(const char* text, uint32_t& hour, uint32_t& minute, float& seconds) {
  if (isEmpty(text)) {
    hour = minute = 0;
    seconds = 0.0f;
    return;
  }
  Extractor in(text);
  extractClock(in, hour, minute, seconds);
}

void parseLongDate(const char* text, uint32_t& year, uint32_t& month, uint32_t& day, uint32_t& hour,
                   uint32_t& minute, float& seconds, int32_t& zone) {
  if (isEmpty(text)) {
    year = month = day = hour = minute = 0;
    seconds = 0.0f;
    zone = 0;
    return;
  }
  Extractor in(text);
  extractDate(in, year, month, day);
  // The blank before the time is white space, not a separator.
  extractClock(in, hour, minute, seconds);
  in.integer(zone);
}

}  // namespace jcamp
