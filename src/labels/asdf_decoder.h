// Line decoders of JCAMP-DX data tables: ASDF-compressed X++(Y..Y) lines,
// (XY..XY) pairs and concentration tuples. They are pure (text in; values,
// flags and counts out), keep no state between calls but lastKind, and never
// write past `capacity`: a line that yields more values than that is still
// read to its end and counted, its extra values are dropped. A count above
// the capacity passed in therefore means values were lost.
#pragma once

#include <cstdint>

namespace jcamp {

// Longest token taken from a line. Longer runs are read to their end but only
// their first kTokenMax characters count (a 100-digit ordinate is out of range
// anyway; one of 100 zeros followed by 5 reads as 0).
constexpr uint32_t kTokenMax = 80;
// A token buffer: kTokenMax characters, the one asdfToDecimal may add, the NUL.
constexpr uint32_t kTokenBufferSize = kTokenMax + 2;

enum AsdfClass : uint8_t {
  kAsdfSeparator = 0,  // blank, ',', ';', '.', '(', 't'..'z', bytes above 127, ...
  kAsdfDigit = 1,      // '0'..'9'
  kAsdfSign = 2,       // '+', '-'
  kAsdfSqz = 3,        // '@', 'A'..'I', 'a'..'i': an absolute value's first digit
  kAsdfDif = 4,        // '%', 'J'..'R', 'j'..'r': a difference's first digit
  kAsdfDup = 5,        // 'S'..'Z', 's': a repeat count's first digit
  kAsdfMissing = 6,    // '?'
  kAsdfEnd = 7,        // the terminating NUL
};

// lastKind: the kind of the latest token that produced an ordinate. A table
// starts with kTokenNone; DUP tokens and "?" leave it as it is.
enum TokenKind : uint32_t {
  kTokenNone = 0,
  kTokenPlain = 1,
  kTokenSqz = 3,
  kTokenDif = 4,
};

AsdfClass asdfClassOf(char c);

// Rewrites the token's first character as its decimal digit text ("A23" ->
// "123", "j45" -> "-145", "%" -> "0"); a first character outside the ASDF
// alphabet is dropped. token points at a buffer of kTokenBufferSize bytes
// holding at most kTokenMax characters (longer text is cut there first).
// Returns token.
char* asdfToDecimal(char* token);

// How a line is read beyond the host-compatible rules, and what the lines
// read with it noticed.
struct LineReading {
  // A number with a '.' or an exponent (E or e followed by a sign and a digit)
  // is one real number: an X++(Y..Y) abscissa or ordinate, an (XY..XY)
  // abscissa. Otherwise '.' ends an ordinate and E starts an SQZ one.
  bool decimalOrdinates = false;
  // Warning bits (SampleWarning) the lines raised: kWarnDecimalSplit where an
  // ordinate was split at a '.' or an exponent, kWarnPrecision where a float
  // DIF sum lost digits.
  uint32_t notes = 0;
};

// One X++(Y..Y) line. Sets x to the line's abscissa (left alone when the line
// holds nothing but separators) and stores up to `capacity` ordinates from
// values[0] on. Returns how many ordinates the line yields, DUP counts
// included; a result above capacity means the rest were not stored. The
// integer ordinates, DIF sums and DUP copies are stored as float.
uint64_t decodeXyDataLine(const char* line, double& x, float* values, uint32_t capacity,
                          uint32_t& lastKind);
// The same, reading as `reading` says. With float values the DIF sums are
// formed in single precision, as above; with double values in double, and
// the compressed tokens may exceed 32 bits.
uint64_t decodeXyDataLine(const char* line, double& x, float* values, uint32_t capacity,
                          uint32_t& lastKind, LineReading& reading);
uint64_t decodeXyDataLine(const char* line, double& x, double* values, uint32_t capacity,
                          uint32_t& lastKind, LineReading& reading);

// One (XY..XY) line. For each point i below capacity stores xs[i] (abscissa
// times xFactor), ys[i] (not scaled; kMissingValue for "?" and for a point
// whose ordinate is absent: a DUP character, which is left to start the next
// point, or the end of the line) and isReal[i] (1 when the abscissa is
// written as a real number; an abscissa that is no number keeps the flag of
// the point before it in the line). Returns the number of points on the line.
uint32_t decodeXyPointsLine(const char* line, double xFactor, uint32_t& lastKind, float* xs,
                            float* ys, uint32_t* isReal, uint32_t capacity);
// The same, reading as `reading` says; with double ys an ordinate keeps its
// double value until it is scaled.
uint32_t decodeXyPointsLine(const char* line, double xFactor, uint32_t& lastKind, float* xs,
                            float* ys, uint32_t* isReal, uint32_t capacity,
                            const LineReading& reading);
uint32_t decodeXyPointsLine(const char* line, double xFactor, uint32_t& lastKind, float* xs,
                            double* ys, uint32_t* isReal, uint32_t capacity,
                            const LineReading& reading);

// One line of a ##CONCENTRATIONS= table: the first field is passed over, then
// every plain decimal number (no ASDF) is a value. Stores up to capacity
// values; returns how many the line holds.
uint32_t decodeNumberLine(const char* line, float* values, uint32_t capacity);

}  // namespace jcamp
