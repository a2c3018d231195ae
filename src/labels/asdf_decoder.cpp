#include "labels/asdf_decoder.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include "labels/markers.h"
#include "labels/narrow_to_float.h"
#include "labels/number_string.h"
#include "labels/sample_warnings.h"
#include "labels/value_parsers.h"

namespace jcamp {
namespace {

// The token readers sit in the decoders' innermost loop: a call per token
// costs more than the token itself.
#if defined(__GNUC__)
#define JCAMP_TOKEN_INLINE [[gnu::always_inline]] inline
#define JCAMP_RARELY(condition) __builtin_expect(static_cast<bool>(condition), 0)
#else
#define JCAMP_TOKEN_INLINE inline
#define JCAMP_RARELY(condition) (condition)
#endif

struct AsdfTables {
  AsdfClass classes[256];
  int8_t leads[256];  // the signed first digit of SQZ, DIF and DUP characters
};

// A character as a table index.
constexpr int at(char c) {
  return static_cast<unsigned char>(c);
}

constexpr AsdfTables makeAsdfTables() {
  AsdfTables tables{};
  for (int c = '0'; c <= '9'; ++c) tables.classes[c] = kAsdfDigit;
  tables.classes[at('+')] = tables.classes[at('-')] = kAsdfSign;
  tables.classes[at('@')] = kAsdfSqz;
  tables.classes[at('%')] = kAsdfDif;
  for (int digit = 1; digit <= 9; ++digit) {
    tables.classes['A' + digit - 1] = kAsdfSqz;
    tables.leads['A' + digit - 1] = static_cast<int8_t>(digit);
    tables.classes['a' + digit - 1] = kAsdfSqz;
    tables.leads['a' + digit - 1] = static_cast<int8_t>(-digit);
    tables.classes['J' + digit - 1] = kAsdfDif;
    tables.leads['J' + digit - 1] = static_cast<int8_t>(digit);
    tables.classes['j' + digit - 1] = kAsdfDif;
    tables.leads['j' + digit - 1] = static_cast<int8_t>(-digit);
  }
  for (int digit = 1; digit <= 8; ++digit) {
    tables.classes['S' + digit - 1] = kAsdfDup;
    tables.leads['S' + digit - 1] = static_cast<int8_t>(digit);
  }
  tables.classes[at('s')] = kAsdfDup;
  tables.leads[at('s')] = 9;
  tables.classes[at('?')] = kAsdfMissing;
  tables.classes[0] = kAsdfEnd;
  return tables;
}

constexpr AsdfTables kAsdf = makeAsdfTables();

AsdfClass classAt(const char* p) {
  return kAsdf.classes[static_cast<unsigned char>(*p)];
}
int32_t leadAt(const char* p) {
  return kAsdf.leads[static_cast<unsigned char>(*p)];
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
// The digit c stands for; above 9 when c is not a digit.
JCAMP_TOKEN_INLINE uint32_t digitValue(char c) {
  return static_cast<uint32_t>(static_cast<unsigned char>(c)) - uint32_t{'0'};
}
bool isRealNumberCharacter(char c) {
  return isDigit(c) || c == '.' || c == 'E' || c == 'e' || c == '+' || c == '-';
}

const char* skipSeparators(const char* p) {
  while (classAt(p) == kAsdfSeparator) ++p;
  return p;
}

// A token collected from a line, cut to kTokenMax characters.
class Token {
 public:
  void append(char c) {
    if (length_ < kTokenMax) text_[length_++] = c;
  }
  char* text() {
    text_[length_] = '\0';
    return text_;
  }

 private:
  char text_[kTokenBufferSize];
  uint32_t length_ = 0;
};

// The character at p whatever its class, then every digit or '.' after it:
// an abscissa, or the first field of a concentration tuple.
void takeFieldToken(const char*& p, Token& token) {
  token.append(*p++);
  for (; isDigit(*p) || *p == '.'; ++p) token.append(*p);
}

void takeRealRun(const char*& p, Token& token) {
  for (; isRealNumberCharacter(*p); ++p) token.append(*p);
}

// Numbers of up to this many digits are read here, without a token: a double
// holds their digits exactly.
constexpr int kShortDigits = 15;
constexpr double kPowersOfTen[kShortDigits + 1] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
// Whether one division of two exact doubles is rounded once, as the parsers
// round: not where arithmetic runs in a wider format (x87).
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
constexpr bool kDivisionRoundsOnce = true;
#else
constexpr bool kDivisionRoundsOnce = false;
#endif

// A short plain number at p: [sign] digits [. digits], at most kShortDigits
// digits, a digit before any point. Its value is the one parseDouble gives
// its text (exact, or one correctly rounded division). False, with nothing
// read, when the text is not such a number or endsHere(end, point) says the
// caller's token goes on there: the caller then reads it the long way.
struct ShortNumber {
  double value = 0;
  bool point = false;
  const char* end = nullptr;
};

template <typename EndsHere>
JCAMP_TOKEN_INLINE bool readShortNumber(const char* p, EndsHere endsHere, ShortNumber& number) {
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  // Digits past kShortDigits make the number long: what the mantissa then
  // holds (wrapped around, perhaps) is never used.
  const char* const first = p;
  uint64_t mantissa = 0;
  for (; isDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
  const auto whole = static_cast<int>(std::min<std::ptrdiff_t>(p - first, kShortDigits + 1));
  int fraction = 0;
  const bool point = *p == '.' && whole > 0;
  if (point) {
    const char* const decimals = ++p;
    for (; isDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    fraction = static_cast<int>(std::min<std::ptrdiff_t>(p - decimals, kShortDigits + 1));
  }
  if (whole == 0 || whole + fraction > kShortDigits || (fraction > 0 && !kDivisionRoundsOnce) ||
      !endsHere(p, point)) {
    return false;
  }
  double value = static_cast<double>(mantissa);
  if (fraction > 0) value /= kPowersOfTen[fraction];
  number.value = negative ? -value : value;
  number.point = point;
  number.end = p;
  return true;
}

// The first field of a line or pair (takeFieldToken) read as a number: when it
// is a short number, its value and whether it has a point.
JCAMP_TOKEN_INLINE bool readShortField(const char*& p, double& value, bool& point) {
  if (!isDigit(*p) && *p != '+' && *p != '-') return false;
  ShortNumber number;
  const auto fieldEnds = [](const char* q, bool) { return !isDigit(*q) && *q != '.'; };
  if (!readShortNumber(p, fieldEnds, number)) return false;
  p = number.end;
  value = number.value;
  point = number.point;
  return true;
}

// Finishes an integer token of an X++(Y..Y) line the way parseInt reads its
// decimal text (asdfToDecimal): the sign and the magnitude so far come from
// the token's first character, the run of digits at p follows. The whole run
// is passed over; only the token's first kTokenMax characters count, and room
// is how many of them are left. A token without a digit (a lone sign) reads
// as 0; one outside the int32 range as a magnitude of 2^32 (finishInteger
// reads it as 0, as parseInt reads such a text).
int64_t finishWideInteger(const char*& p, bool negative, uint64_t magnitude, bool hasDigits,
                          uint32_t room) {
  constexpr uint64_t kSaturated = uint64_t{1} << 32;  // beyond both limits
  for (; isDigit(*p); ++p) {
    if (room == 0) continue;
    --room;
    hasDigits = true;
    magnitude = std::min(magnitude * 10 + static_cast<uint64_t>(*p - '0'), kSaturated);
  }
  if (!hasDigits) return 0;
  return negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

bool inInt32Range(int64_t value) {
  return value >= std::numeric_limits<int32_t>::min() &&
         value <= std::numeric_limits<int32_t>::max();
}

int32_t finishInteger(const char*& p, bool negative, uint64_t magnitude, bool hasDigits,
                      uint32_t room) {
  const int64_t value = finishWideInteger(p, negative, magnitude, hasDigits, room);
  return inInt32Range(value) ? static_cast<int32_t>(value) : 0;
}

// Digits a 32-bit integer token always holds: up to this many of them after
// a first digit read without range checks.
constexpr int kPlainDigits = 8;

// The magnitude of a run of at most kPlainDigits digits at p after the ones
// in magnitude: no token limit or range is near. False when the run is longer.
JCAMP_TOKEN_INLINE bool finishShortMagnitude(const char*& p, uint32_t& magnitude) {
  // One plain loop: branches on the digit count are as few as they can be.
  const char* q = p;
  uint32_t m = magnitude;
  for (; digitValue(*q) <= 9 && q - p < kPlainDigits; ++q) m = m * 10 + digitValue(*q);
  if (digitValue(*q) <= 9) return false;
  p = q;
  magnitude = m;
  return true;
}

// finishInteger for such a run.
JCAMP_TOKEN_INLINE bool finishShortInteger(const char*& p, bool negative, uint32_t magnitude,
                                           int32_t& value) {
  if (!finishShortMagnitude(p, magnitude)) return false;
  value = negative ? -static_cast<int32_t>(magnitude) : static_cast<int32_t>(magnitude);
  return true;
}

// An SQZ, DIF or DUP token: its character's signed digit, then digits.
JCAMP_TOKEN_INLINE int32_t readCompressedInteger(const char*& p) {
  const int32_t lead = leadAt(p++);
  const auto magnitude = static_cast<uint32_t>(lead < 0 ? -lead : lead);
  int32_t value = 0;
  if (finishShortInteger(p, lead < 0, magnitude, value)) return value;
  return finishInteger(p, lead < 0, magnitude, true, kTokenMax - 1);
}

// The real-valued token of an (XY..XY) ordinate at p, of class `kind`.
JCAMP_TOKEN_INLINE double readRealToken(const char*& p, AsdfClass kind) {
  if (kind == kAsdfDigit || kind == kAsdfSign) {
    ShortNumber number;
    const auto runEnds = [](const char* q, bool) { return !isRealNumberCharacter(*q); };
    if (readShortNumber(p, runEnds, number)) {
      p = number.end;
      return number.value;
    }
  }
  Token token;
  if (kind != kAsdfDigit) token.append(*p++);
  takeRealRun(p, token);
  char* text = token.text();
  if (kind == kAsdfSqz || kind == kAsdfDif) asdfToDecimal(text);
  return parseDouble(text);
}

}  // namespace

AsdfClass asdfClassOf(char c) {
  return kAsdf.classes[static_cast<unsigned char>(c)];
}

char* asdfToDecimal(char* token) {
  size_t length = 0;
  while (length < kTokenMax && token[length] != '\0') ++length;
  token[length] = '\0';
  if (length == 0) return token;

  char digitText[3] = {};
  switch (classAt(token)) {
    case kAsdfDigit:
    case kAsdfSign:
      digitText[0] = token[0];
      break;
    case kAsdfSqz:
    case kAsdfDif:
    case kAsdfDup: {
      const int32_t lead = leadAt(token);
      if (lead < 0) {
        digitText[0] = '-';
        digitText[1] = static_cast<char>('0' - lead);
      } else {
        digitText[0] = static_cast<char>('0' + lead);
      }
      break;
    }
    case kAsdfMissing:
      digitText[0] = '0';
      break;
    default:
      break;  // outside the alphabet: dropped
  }
  const size_t textLength = std::strlen(digitText);
  std::memmove(token + textLength, token + 1, length);  // the rest and its NUL
  std::memcpy(token, digitText, textLength);
  return token;
}

namespace {

// Ordinates in single precision (the host-compatible reading): 32-bit tokens,
// float sums, and a note where a token or a sum lost digits.
struct FloatSums {
  using Value = float;
  using Step = int32_t;
  static constexpr float kExactLimit = 16777216.0f;  // 2^24: floats hold every integer up to it

  // An SQZ token, and a plain one (digits after its sign, if any), as 32-bit
  // integers, with a note where their digits are not the value stored.
  static Step compressed(const char*& p, uint32_t& notes) {
    const int32_t lead = leadAt(p++);
    const auto magnitude = static_cast<uint32_t>(lead < 0 ? -lead : lead);
    int32_t value = 0;
    if (!finishShortInteger(p, lead < 0, magnitude, value)) {
      value = narrowed(finishWideInteger(p, lead < 0, magnitude, true, kTokenMax - 1), notes);
    }
    return noted(value, notes);
  }
  static Value whole(const char*& p, bool negative, uint32_t room, uint32_t& notes) {
    int32_t value = 0;
    if (!isDigit(*p) || !finishShortInteger(p, negative, 0, value)) {
      value = narrowed(finishWideInteger(p, negative, 0, false, room), notes);
    }
    return static_cast<float>(noted(value, notes));
  }
  // A DIF step as it always was, without that look: a step no float holds
  // shows in the sum (add beyond 2^24, else the line's Y check), and looking
  // at every step costs the DIF form a few per cent.
  static Step difference(const char*& p, uint32_t& /*notes*/) { return readCompressedInteger(p); }

  // Beyond the int32 range a token reads as 0.
  static int32_t narrowed(int64_t value, uint32_t& notes) {
    if (inInt32Range(value)) return static_cast<int32_t>(value);
    notes |= kWarnPrecision;
    return 0;
  }
  // Beyond 2^24 a float may not hold a token.
  static int32_t noted(int32_t value, uint32_t& notes) {
    constexpr uint32_t kExact = uint32_t{1} << 24;
    if (static_cast<uint32_t>(value) + kExact > 2 * kExact && !holdsExactly(value)) {
      notes |= kWarnPrecision;
    }
    return value;
  }
  // Whether a float holds value: at most 24 bits between its highest and
  // lowest set bit. In integers, so that no excess precision can decide.
  static bool holdsExactly(int32_t value) {
    uint64_t bits = value < 0 ? uint64_t{0} - static_cast<uint64_t>(int64_t{value})
                              : static_cast<uint64_t>(value);
    while (bits > (uint64_t{1} << 24) && (bits & 1) == 0) bits >>= 1;
    return bits <= uint64_t{1} << 24;
  }
  static Value real(double value) { return narrowToFloat(value); }
  static Value add(Value previous, Step step, uint32_t& notes) {
    const float sum = previous + static_cast<float>(step);
    if (JCAMP_RARELY(std::fabs(sum) >= kExactLimit)) checkRun(previous, step, 1, sum, notes);
    return sum;
  }
  // Whether `steps` float additions of step to start, which gave end, lost digits.
  static void checkRun(float start, Step step, uint64_t steps, float end, uint32_t& notes) {
    const double exact = static_cast<double>(start) + static_cast<double>(step) * steps;
    if (exact != static_cast<double>(end)) notes |= kWarnPrecision;
  }
};

// Ordinates in double: tokens as wide as their digits, exact sums.
struct DoubleSums {
  using Value = double;
  using Step = double;

  static Step difference(const char*& p, uint32_t& notes) { return compressed(p, notes); }
  static Step compressed(const char*& p, uint32_t& /*notes*/) {
    const int32_t lead = leadAt(p++);
    uint32_t magnitude = static_cast<uint32_t>(lead < 0 ? -lead : lead);
    if (finishShortMagnitude(p, magnitude)) return withSign(lead < 0, magnitude);
    return finishWide(p, lead < 0, lead < 0 ? -lead : lead, kTokenMax - 1);
  }
  static Value whole(const char*& p, bool negative, uint32_t room, uint32_t& /*notes*/) {
    uint32_t magnitude = 0;
    if (isDigit(*p) && finishShortMagnitude(p, magnitude)) return withSign(negative, magnitude);
    return finishWide(p, negative, 0, room);
  }
  // As finishWide gives it: a negative zero stays one.
  static double withSign(bool negative, uint32_t magnitude) {
    const auto value = static_cast<double>(magnitude);
    return negative ? -value : value;
  }
  static Value real(double value) { return value; }
  static Value add(Value previous, Step step, uint32_t& /*notes*/) { return previous + step; }
  static void checkRun(Value, Step, uint64_t, Value, uint32_t&) {}

  // The digits at p after a first digit `lead`, up to room of them counted.
  static double finishWide(const char*& p, bool negative, double magnitude, uint32_t room) {
    for (; isDigit(*p); ++p) {
      if (room == 0) continue;
      --room;
      magnitude = magnitude * 10 + (*p - '0');
    }
    return negative ? -magnitude : magnitude;
  }
};

// An exponent is E or e, a sign and a digit. Without the sign the letter is
// an SQZ ordinate (+5 or -5), even right after a number with a '.': in
// "608.1E07312889" the abscissa 608.1 is followed by the ordinate 507312889.
bool startsExponent(const char* p) {
  return (*p == 'E' || *p == 'e') && (p[1] == '+' || p[1] == '-') && isDigit(p[2]);
}

// A real number at p (a sign, digits, a '.', digits, an exponent), as one
// token; p ends after it. Without a digit it reads 0, as a lone sign does.
JCAMP_TOKEN_INLINE double readRealNumber(const char*& p, bool* writtenReal = nullptr) {
  ShortNumber number;
  const auto numberEnds = [](const char* q, bool) { return !startsExponent(q); };
  if (readShortNumber(p, numberEnds, number)) {
    p = number.end;
    if (writtenReal != nullptr) *writtenReal = number.point;
    return number.value;
  }
  Token token;
  bool digits = false;
  if (*p == '+' || *p == '-') token.append(*p++);
  for (; isDigit(*p); ++p, digits = true) token.append(*p);
  const bool point = *p == '.';
  if (point) {
    token.append(*p++);
    for (; isDigit(*p); ++p, digits = true) token.append(*p);
  }
  const bool exponent = digits && startsExponent(p);
  if (exponent) {
    token.append(*p++);
    if (*p == '+' || *p == '-') token.append(*p++);
    for (; isDigit(*p); ++p) token.append(*p);
  }
  if (writtenReal != nullptr) *writtenReal = point || exponent;
  return digits ? parseDouble(token.text()) : 0.0;
}

// The separators take a '.' too: under the real-number reading a number at p
// that begins with its point (".5") starts a character earlier.
const char* withLeadingPoint(const char* p, const char* line) {
  return p > line && p[-1] == '.' && isDigit(*p) ? p - 1 : p;
}

// Where a whole ordinate token ended at p, the text goes on as a real number:
// the host-compatible reading splits it there.
bool splitsRealNumber(const char* p) {
  return (*p == '.' && isDigit(p[1])) || startsExponent(p);
}

// decimalOrdinates is LineReading::decimalOrdinates, fixed at compile time: the
// host-compatible reading does not test it for every token.
template <typename Sums, bool decimalOrdinates>
uint64_t decodeXyData(const char* line, double& x, typename Sums::Value* values, uint32_t capacity,
                      uint32_t& lastKind, LineReading& reading) {
  using Value = typename Sums::Value;
  uint32_t notes = 0;
  const char* p = skipSeparators(line);
  if (*p == '\0') return 0;
  if (decimalOrdinates) p = withLeadingPoint(p, line);
  if (decimalOrdinates && (isDigit(*p) || *p == '+' || *p == '-' || *p == '.')) {
    x = readRealNumber(p);
  } else {
    bool point = false;
    if (!readShortField(p, x, point)) {
      Token abscissa;
      takeFieldToken(p, abscissa);
      x = parseDouble(abscissa.text());
    }
    if (startsExponent(p)) notes |= kWarnDecimalSplit;
  }

  uint64_t n = 0;
  Value previous = 0;  // the ordinate before the next one, while n <= capacity
  typename Sums::Step difStep = 0;
  bool difSeen = false;
  const auto store = [&](Value value) {
    if (n < capacity) values[n] = value;
    previous = value;
    ++n;
  };
  for (;;) {
    p = skipSeparators(p);
    AsdfClass kind = classAt(p);
    if constexpr (decimalOrdinates) {
      if (kind == kAsdfDigit || kind == kAsdfSign) {
        // A real number may begin with its '.', which the separators took.
        if (kind == kAsdfDigit && p[-1] == '.') --p;
        store(Sums::real(readRealNumber(p)));
        lastKind = kTokenPlain;
        continue;
      }
    }
    // DIF tokens make up most compressed lines: tested first, their branch is
    // predicted where the switch's jump would not be.
    if (kind == kAsdfDif) {
      // Compressed lines hold runs of DIF tokens with nothing between them:
      // a run is taken here, without going round the token loop for each.
      do {
        difStep = Sums::difference(p, notes);
        store(n > 0 ? Sums::add(previous, difStep, notes) : Value{0});
      } while (classAt(p) == kAsdfDif);
      difSeen = true;
      lastKind = kTokenDif;
      continue;
    }
    switch (kind) {
      case kAsdfEnd:
      case kAsdfSeparator:  // not met: separators were skipped
        reading.notes |= notes;
        return n;
      case kAsdfDigit:
        if (p[-1] == '.') notes |= kWarnDecimalSplit;
        store(Sums::whole(p, false, kTokenMax, notes));
        if (splitsRealNumber(p)) notes |= kWarnDecimalSplit;
        lastKind = kTokenPlain;
        break;
      case kAsdfSign: {
        const bool negative = *p++ == '-';
        store(Sums::whole(p, negative, kTokenMax - 1, notes));
        if (splitsRealNumber(p)) notes |= kWarnDecimalSplit;
        lastKind = kTokenPlain;
        break;
      }
      case kAsdfSqz:
        store(static_cast<Value>(Sums::compressed(p, notes)));
        lastKind = kTokenSqz;
        break;
      case kAsdfDif:  // read above
        break;
      case kAsdfDup: {
        // The count is of occurrences, the one already stored included; as the
        // line's first ordinate it stands for that many zeros.
        const int32_t count = readCompressedInteger(p);
        if (count <= 0 || (n > 0 && count == 1)) break;
        uint64_t repeats = static_cast<uint64_t>(count);
        typename Sums::Step step = 0;
        if (n == 0) {
          previous = 0;
        } else {
          repeats -= 1;
          if (lastKind == kTokenDif && difSeen) step = difStep;
        }
        const uint64_t room = n < capacity ? capacity - n : 0;
        const uint64_t stored = std::min(repeats, room);
        const Value start = previous;
        for (uint64_t i = 0; i < stored; ++i) {
          previous += static_cast<Value>(step);
          values[n + i] = previous;
        }
        if (std::fabs(previous) >= FloatSums::kExactLimit) {
          Sums::checkRun(start, step, stored, previous, notes);
        }
        n += repeats;
        break;
      }
      case kAsdfMissing:
        store(kMissingValue);
        ++p;
        break;
    }
  }
}

}  // namespace

uint64_t decodeXyDataLine(const char* line, double& x, float* values, uint32_t capacity,
                          uint32_t& lastKind) {
  LineReading reading;
  return decodeXyData<FloatSums, false>(line, x, values, capacity, lastKind, reading);
}

uint64_t decodeXyDataLine(const char* line, double& x, float* values, uint32_t capacity,
                          uint32_t& lastKind, LineReading& reading) {
  return reading.decimalOrdinates
             ? decodeXyData<FloatSums, true>(line, x, values, capacity, lastKind, reading)
             : decodeXyData<FloatSums, false>(line, x, values, capacity, lastKind, reading);
}

uint64_t decodeXyDataLine(const char* line, double& x, double* values, uint32_t capacity,
                          uint32_t& lastKind, LineReading& reading) {
  return reading.decimalOrdinates
             ? decodeXyData<DoubleSums, true>(line, x, values, capacity, lastKind, reading)
             : decodeXyData<DoubleSums, false>(line, x, values, capacity, lastKind, reading);
}

namespace {

// A double as the type ys are kept in.
template <typename Value>
Value convert(double value);
template <>
float convert<float>(double value) {
  return narrowToFloat(value);
}
template <>
double convert<double>(double value) {
  return value;
}

// Value is the type ys are kept in until they are scaled: float, as the
// host-compatible reading keeps them, or double.
template <typename Value>
uint32_t decodeXyPoints(const char* line, double xFactor, uint32_t& lastKind, float* xs, Value* ys,
                        uint32_t* isReal, uint32_t capacity, const LineReading& reading) {
  int realFlag = 0;
  uint32_t i = 0;
  Value previousY = 0;
  const char* p = line;
  while (*p != '\0') {
    p = skipSeparators(p);
    if (*p == '\0') break;
    double x = 0;
    if (reading.decimalOrdinates) p = withLeadingPoint(p, line);
    if (reading.decimalOrdinates && (isDigit(*p) || *p == '+' || *p == '-' || *p == '.')) {
      bool writtenReal = false;
      x = readRealNumber(p, &writtenReal);
      realFlag = writtenReal ? 1 : 0;
    } else if (bool point = false; readShortField(p, x, point)) {
      realFlag = point ? 1 : 0;
    } else {
      Token abscissa;
      takeFieldToken(p, abscissa);
      const char* abscissaText = abscissa.text();
      checkNumberString(abscissaText, &realFlag);
      x = parseDouble(abscissaText);
    }
    x *= xFactor;

    p = skipSeparators(p);
    Value y = kMissingValue;  // also for a point without an ordinate
    const AsdfClass kind = classAt(p);
    switch (kind) {
      case kAsdfDigit:
      case kAsdfSign:
        y = convert<Value>(readRealToken(p, kind));
        lastKind = kTokenPlain;
        break;
      case kAsdfSqz:
        y = convert<Value>(readRealToken(p, kind));
        lastKind = kTokenSqz;
        break;
      case kAsdfDif: {
        const double step = readRealToken(p, kind);
        y = i > 0 ? convert<Value>(previousY + step) : Value{0};
        lastKind = kTokenDif;
        break;
      }
      case kAsdfMissing:
        ++p;
        break;
      default:
        break;  // a DUP character starts the next point; or the line ended
    }
    if (i < capacity) {
      xs[i] = narrowToFloat(x);
      ys[i] = y;
      isReal[i] = static_cast<uint32_t>(realFlag);
    }
    previousY = y;
    ++i;
  }
  return i;
}

}  // namespace

uint32_t decodeXyPointsLine(const char* line, double xFactor, uint32_t& lastKind, float* xs,
                            float* ys, uint32_t* isReal, uint32_t capacity) {
  return decodeXyPoints<float>(line, xFactor, lastKind, xs, ys, isReal, capacity, LineReading{});
}

uint32_t decodeXyPointsLine(const char* line, double xFactor, uint32_t& lastKind, float* xs,
                            float* ys, uint32_t* isReal, uint32_t capacity,
                            const LineReading& reading) {
  return decodeXyPoints<float>(line, xFactor, lastKind, xs, ys, isReal, capacity, reading);
}

uint32_t decodeXyPointsLine(const char* line, double xFactor, uint32_t& lastKind, float* xs,
                            double* ys, uint32_t* isReal, uint32_t capacity,
                            const LineReading& reading) {
  return decodeXyPoints<double>(line, xFactor, lastKind, xs, ys, isReal, capacity, reading);
}

uint32_t decodeNumberLine(const char* line, float* values, uint32_t capacity) {
  const char* p = skipSeparators(line);
  if (*p == '\0') return 0;
  ++p;  // the first field (a name or an index) is not a value
  while (isDigit(*p) || *p == '.') ++p;

  uint32_t n = 0;
  for (;;) {
    while (*p != '\0' && !isDigit(*p) && *p != '+' && *p != '-') ++p;
    if (*p == '\0') return n;
    Token token;
    if (!isDigit(*p)) token.append(*p++);
    takeRealRun(p, token);
    if (n < capacity) values[n] = narrowToFloat(parseDouble(token.text()));
    ++n;
  }
}

}  // namespace jcamp
