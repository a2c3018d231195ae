#include "labels/table_readers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "labels/asdf_decoder.h"
#include "labels/markers.h"
#include "labels/narrow_to_float.h"
#include "labels/ordinate_scaling.h"
#include "labels/sample_warnings.h"

namespace jcamp {
namespace {

// A 127-character line of one-digit numbers and blanks holds 64 values: a
// header that claims no more than that per data line gets its arrays at once.
// Otherwise the lines are counted first, and the table gets no more room than
// they yield: so a header that asks for 4 billion points in a 1 KB file costs
// nothing. Values that come one for one from the text (at most one per
// character) are always given room; DUP counts, which multiply values without
// text, only up to kExpandedValuesPerCharacter per character of the table, or
// kRoomAlwaysGranted values, whichever is more.
constexpr uint64_t kPlausibleValuesPerLine = 64;
constexpr uint64_t kExpandedValuesPerCharacter = 16;
constexpr uint64_t kRoomAlwaysGranted = uint64_t{1} << 16;

// The claim of a table read while nPoints is 0: as many values as it holds,
// up to what a 32-bit count can say. Its tableLength is then the number of
// values decoded.
constexpr uint64_t kWholeTable = std::numeric_limits<uint32_t>::max();

// Ordinates an X++(Y..Y) table may decode past its room: they take a last
// line that runs over the end, and with it the check value of a line ending
// in DIF form. They are never read as data.
constexpr uint64_t kSpareOrdinates = 100;

// The data lines of a record: its value lines after the first, as far as
// they lie inside the line table.
struct DataLines {
  char* const* lines = nullptr;
  uint32_t count = 0;
  uint32_t labelLine = 0;  // the file's line number of the record's first value line

  const char* operator[](uint32_t i) const { return lines[i]; }
  // The file's line number of data line i (lines are numbered from 1).
  uint32_t lineNumber(uint32_t i) const { return labelLine + 1 + i; }
};

DataLines dataLinesOf(const LabelRecord& record, const LineView& table) {
  const uint64_t first = uint64_t{record.firstLine} + 1;
  const uint64_t end =
      std::min<uint64_t>(uint64_t{record.firstLine} + record.lineCount, table.count);
  const uint32_t labelLine = record.firstLine + 1;
  if (table.lines == nullptr || first >= end) return {nullptr, 0, labelLine};
  return {table.lines + first, static_cast<uint32_t>(end - first), labelLine};
}

// The factor a table scales by: as given, so a missing one scales by the unset
// marker; under missingFactorIsOne a missing one scales by 1.
double tableFactor(double given, const ReadingRules& rules) {
  return given == kUnsetDouble && rules.missingFactorIsOne ? 1.0 : given;
}

// The abscissa check of X++(Y..Y) lines. The host-compatible check compares
// a line's abscissa with the grid's, the tolerance in the unit of ##FIRSTX=.
// Under xCheckAlongLines everything is in the file's units, and a line also
// passes within half a step of where the line before it puts it: writers that
// round or add up their abscissas drift from the grid by a step or more over
// a long table, while a line that holds one ordinate too many or too few is
// still a step off both.
class AbscissaCheck {
 public:
  AbscissaCheck(const JcampBlock& block, double xFactor, const ReadingRules& rules)
      : firstX_(block.firstX), xFactor_(xFactor), alongLines_(rules.xCheckAlongLines) {
    const uint32_t nPoints = block.nPoints;
    const uint32_t fewest = alongLines_ ? 2 : 3;  // points that give a step
    step_ = nPoints >= fewest ? (block.lastX - block.firstX) / (nPoints - 1) : 0.0;
    tolerance_ = std::fabs(step_ * 0.5);
    if (alongLines_) tolerance_ /= std::fabs(xFactor);
  }

  // Whether abscissa x of a line whose first ordinate is point `index` fails.
  bool fails(double x, uint64_t index) {
    const double expected = (firstX_ + static_cast<double>(index) * step_) / xFactor_;
    bool off = std::fabs(x - expected) > tolerance_;
    if (alongLines_) {
      if (off && lineSeen_) {
        const double fromLine = lineX_ + static_cast<double>(index - lineIndex_) * step_ / xFactor_;
        off = std::fabs(x - fromLine) > tolerance_;
      }
      lineSeen_ = true;
      lineX_ = x;
      lineIndex_ = index;
    }
    return off;
  }

 private:
  double firstX_;
  double xFactor_;
  bool alongLines_;
  double step_ = 0;
  double tolerance_ = 0;
  bool lineSeen_ = false;
  double lineX_ = 0;
  uint64_t lineIndex_ = 0;
};

// Adds what a table's reading raised to its block.
void addIssues(JcampBlock& block, const SampleDiagnostics& issues) {
  block.checkFlags |= issues.checkFlags;
  block.warnings |= issues.warnings;
  if (block.warningLine == 0) block.warningLine = issues.line;
}

template <typename T>
std::unique_ptr<T[]> allocate(uint64_t count) {
  if (count > std::numeric_limits<size_t>::max() / sizeof(T)) throw std::bad_alloc();
  return std::unique_ptr<T[]>(new T[static_cast<size_t>(count)]);
}

// Entries to allocate for a table that claims `claimed` values, given that
// countLine(line) tells how many values a line yields. Throws std::bad_alloc
// when the lines would need more room than their text justifies.
template <typename CountLine>
uint64_t tableRoom(uint64_t claimed, DataLines data, CountLine countLine) {
  const uint64_t plausible = data.count * kPlausibleValuesPerLine;
  if (claimed <= plausible) return claimed;
  uint64_t counted = 0;
  uint64_t characters = 0;
  for (uint32_t i = 0; i < data.count && counted <= claimed; ++i) {
    counted += countLine(data[i]);
    characters += std::strlen(data[i]);
  }
  const uint64_t room = std::min(claimed, counted);
  const uint64_t justified =
      std::max({plausible, characters * kExpandedValuesPerCharacter, kRoomAlwaysGranted});
  if (room > justified) throw std::bad_alloc();
  return room;
}

// Room left for one line's values after `used` entries, in the decoders' terms.
uint32_t roomAfter(uint64_t capacity, uint64_t used) {
  const uint64_t left = used < capacity ? capacity - used : 0;
  return static_cast<uint32_t>(std::min<uint64_t>(left, std::numeric_limits<uint32_t>::max()));
}

// The table's ordinates as floats, scaled, the entries from `decoded` up to
// `room` missing. Float values are scaled in place; double ones into a new array.
std::unique_ptr<float[]> scaledOrdinates(std::unique_ptr<float[]> values, uint64_t decoded,
                                         uint64_t room, double yFactor) {
  scaleOrdinates(values.get(), decoded, yFactor);
  std::fill(values.get() + decoded, values.get() + room, kMissingValue);
  return values;
}
std::unique_ptr<float[]> scaledOrdinates(std::unique_ptr<double[]> values, uint64_t decoded,
                                         uint64_t room, double yFactor) {
  std::unique_ptr<float[]> scaled = allocate<float>(room);
  for (uint64_t j = 0; j < decoded; ++j) {
    scaled[j] = values[j] != kMissingValue ? narrowToFloat(values[j] * yFactor) : kMissingValue;
  }
  std::fill(scaled.get() + decoded, scaled.get() + room, kMissingValue);
  return scaled;
}

// The checks both XY forms make once the table is read.
uint32_t tableEndFlags(const JcampBlock& block, uint64_t total, double yFactor,
                       const ReadingRules& rules) {
  uint32_t flags = 0;
  // Without ##NPOINTS= there is no first point to expect a value at; under
  // firstYCheckWhenGiven, without ##FIRSTY= no value to expect there.
  const bool firstYGiven = block.firstY != kUnsetValue || !rules.firstYCheckWhenGiven;
  if (block.nPoints > 0 && firstYGiven) {
    const float first = block.tableLength > 0 ? block.yValues[0] : kMissingValue;
    if (std::fabs(static_cast<double>(first) - block.firstY) > yFactor) flags |= kCheckFirstY;
  }
  if (total != block.nPoints) flags |= kCheckCount;
  return flags;
}

// Factors the table needed but the block does not give.
uint32_t missingFactors(const JcampBlock& block, bool scalesAbscissas) {
  const bool missing =
      block.yFactor == kUnsetDouble || (scalesAbscissas && block.xFactor == kUnsetDouble);
  return missing ? uint32_t{kWarnNoFactor} : 0u;
}

// Drops the arrays of an earlier table of the block.
void releaseTable(JcampBlock& block) {
  block.yValues.reset();
  block.xValues.reset();
  block.xIsReal.reset();
  block.tableLength = 0;
}

// Value: the type ordinates are decoded and summed in (float, or double
// under doubleSums) until they are scaled.
template <typename Value>
void decodeXyData(JcampBlock& block, DataLines data, const ReadingRules& rules) {
  const uint32_t nPoints = block.nPoints;
  const uint64_t claimed = nPoints > 0 ? nPoints : kWholeTable;
  // The arrays of an earlier table go first: their room may be needed.
  releaseTable(block);

  LineReading reading;
  reading.decimalOrdinates = rules.decimalOrdinates;
  const uint64_t room = tableRoom(claimed, data, [&reading](const char* line) {
    double x = 0;
    uint32_t lastKind = kTokenNone;
    LineReading counting = reading;
    return decodeXyDataLine(line, x, static_cast<Value*>(nullptr), 0, lastKind, counting);
  });
  const uint64_t capacity = room + kSpareOrdinates;
  std::unique_ptr<Value[]> values = allocate<Value>(capacity);

  const double xFactor = tableFactor(block.xFactor, rules);
  const double yFactor = tableFactor(block.yFactor, rules);
  AbscissaCheck abscissaCheck(block, xFactor, rules);
  SampleDiagnostics issues;
  issues.note(0, missingFactors(block, false), data.labelLine);
  uint32_t lastKind = kTokenNone;
  uint64_t total = 0;
  bool checkPending = false;
  Value checkValue = 0;
  uint32_t lastLine = data.labelLine;
  for (uint32_t i = 0; i < data.count && total <= claimed; ++i) {
    const uint32_t lineRoom = roomAfter(capacity, total);
    Value* const line = lineRoom > 0 ? values.get() + total : nullptr;
    double x = 0;
    const uint32_t notesBefore = reading.notes;
    uint64_t n = decodeXyDataLine(data[i], x, line, lineRoom, lastKind, reading);
    if (n == 0) continue;
    uint32_t flags = 0;
    if (checkPending && lineRoom > 0 && line[0] != checkValue) flags |= kCheckY;
    // A line whose last ordinate is a DIF repeats it as the next line's first.
    checkPending = false;
    if (lastKind == kTokenDif) {
      if (n - 1 < lineRoom) {
        checkValue = line[n - 1];
        checkPending = true;
      }
      --n;
    }
    if (abscissaCheck.fails(x, total)) flags |= kCheckX;
    lastLine = data.lineNumber(i);
    issues.note(flags, reading.notes & ~notesBefore, lastLine);
    total += n;
  }
  // The last line's check value has no next line to take its place: it is
  // the table's last ordinate, still in values[total], or it is dropped.
  if (checkPending) {
    if (rules.keepLastOrdinate) {
      ++total;
    } else {
      issues.note(0, kWarnLastDropped, lastLine);
    }
  }

  const uint64_t decoded = std::min(total, room);
  block.yValues = scaledOrdinates(std::move(values), decoded, room, yFactor);
  block.tableLength = static_cast<uint32_t>(nPoints > 0 ? room : decoded);
  issues.note(tableEndFlags(block, total, yFactor, rules), 0, data.labelLine);
  addIssues(block, issues);
}

template <typename Value>
void decodeXyPoints(JcampBlock& block, DataLines data, const ReadingRules& rules) {
  const uint32_t nPoints = block.nPoints;
  const uint64_t claimed = nPoints > 0 ? nPoints : kWholeTable;
  releaseTable(block);

  LineReading reading;
  reading.decimalOrdinates = rules.decimalOrdinates;
  const uint64_t room = tableRoom(claimed, data, [&reading](const char* line) {
    uint32_t lastKind = kTokenNone;
    return decodeXyPointsLine(line, 1.0, lastKind, nullptr, static_cast<Value*>(nullptr), nullptr,
                              0, reading);
  });
  std::unique_ptr<Value[]> ys = allocate<Value>(room);
  std::unique_ptr<float[]> xs = allocate<float>(room);
  std::unique_ptr<uint32_t[]> isReal = allocate<uint32_t>(room);

  const double xFactor = tableFactor(block.xFactor, rules);
  const double yFactor = tableFactor(block.yFactor, rules);
  uint32_t lastKind = kTokenNone;
  uint64_t total = 0;
  for (uint32_t i = 0; i < data.count && total <= claimed; ++i) {
    const uint32_t lineRoom = roomAfter(room, total);
    const bool stores = lineRoom > 0;
    total += decodeXyPointsLine(data[i], xFactor, lastKind, stores ? xs.get() + total : nullptr,
                                stores ? ys.get() + total : nullptr,
                                stores ? isReal.get() + total : nullptr, lineRoom, reading);
  }

  const uint64_t decoded = std::min(total, room);
  std::fill(xs.get() + decoded, xs.get() + room, kMissingValue);
  std::fill(isReal.get() + decoded, isReal.get() + room, 0u);
  block.yValues = scaledOrdinates(std::move(ys), decoded, room, yFactor);
  block.xValues = std::move(xs);
  block.xIsReal = std::move(isReal);
  block.tableLength = static_cast<uint32_t>(nPoints > 0 ? room : decoded);
  SampleDiagnostics issues;
  issues.note(tableEndFlags(block, total, yFactor, rules), missingFactors(block, true),
              data.labelLine);
  addIssues(block, issues);
}

void decodeConcentrations(JcampBlock& block, DataLines data, const ReadingRules& /*rules*/) {
  const uint64_t claimed = block.concentrationCount;
  block.concentrations.reset();
  block.concentrationLength = 0;

  const uint64_t room =
      tableRoom(claimed, data, [](const char* line) { return decodeNumberLine(line, nullptr, 0); });
  std::unique_ptr<float[]> values = allocate<float>(room);
  uint64_t total = 0;
  for (uint32_t i = 0; i < data.count && total <= claimed; ++i) {
    const uint32_t lineRoom = roomAfter(room, total);
    total += decodeNumberLine(data[i], lineRoom > 0 ? values.get() + total : nullptr, lineRoom);
  }
  std::fill(values.get() + std::min(total, room), values.get() + room, kMissingValue);
  block.concentrations = std::move(values);
  block.concentrationLength = static_cast<uint32_t>(room);
}

template <typename Decode>
Status readTable(JcampBlock& block, const LabelRecord& record, const ReadContext& context,
                 Decode decode) {
  try {
    decode(block, dataLinesOf(record, context.lines), context.rules);
    return kStatusOk;
  } catch (const std::bad_alloc&) {
    return kStatusNoMemoryToRead;
  }
}

}  // namespace

// The one step where doubleSums forks: the type the ordinates are summed in.
Status readXyData(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  return context.rules.doubleSums ? readTable(block, record, context, decodeXyData<double>)
                                  : readTable(block, record, context, decodeXyData<float>);
}

Status readXyPoints(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  return context.rules.doubleSums ? readTable(block, record, context, decodeXyPoints<double>)
                                  : readTable(block, record, context, decodeXyPoints<float>);
}

void noteReplacedTable(JcampBlock& block, const LabelRecord& table) {
  if (block.yValues != nullptr) block.unreadTable = &table;
}

Status readConcentrations(JcampBlock& block, const LabelRecord& record,
                          const ReadContext& context) {
  return readTable(block, record, context, decodeConcentrations);
}

}  // namespace jcamp
