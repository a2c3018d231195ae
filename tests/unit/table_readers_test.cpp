#include "labels/table_readers.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "labels/markers.h"
#include "labels/sample_warnings.h"

namespace jcamp {
namespace {

constexpr float kM = kMissingValue;

// A record whose data lines are `lines`, read through the object's context.
// Its first value line, the label's own value, is not read.
struct TableRecord {
  explicit TableRecord(std::vector<std::string> lines) : text(std::move(lines)) {
    text.insert(text.begin(), "(X++(Y..Y))");
    for (std::string& line : text) pointers.push_back(line.data());
    context.lines = LineView{pointers.data(), static_cast<uint32_t>(pointers.size())};
    record.lineCount = static_cast<uint32_t>(pointers.size());
  }

  std::vector<std::string> text;
  std::vector<char*> pointers;
  LabelRecord record;
  ReadContext context;
};

struct Header {
  uint32_t nPoints;
  double firstX, lastX, yFactor = 1;
  float firstY = kUnsetValue;
  double xFactor = 1;
};

JcampBlock blockWith(const Header& h) {
  JcampBlock block;
  std::tie(block.nPoints, block.firstX, block.lastX, block.yFactor, block.firstY, block.xFactor) =
      std::tie(h.nPoints, h.firstX, h.lastX, h.yFactor, h.firstY, h.xFactor);
  return block;
}

std::vector<float> ordinatesOf(const JcampBlock& block) {
  return std::vector<float>(block.yValues.get(), block.yValues.get() + block.tableLength);
}

std::string dupsOfOneBillion(int tokens) {
  std::string line = "1 A1";
  for (int i = 0; i < tokens; ++i) line += "S000000000";
  return line;
}

// An X++(Y..Y) table read by rules: its status, ordinates and check flags,
// and where hostFlags is given, the host-compatible check flags too.
struct XyCase {
  Header header;
  std::vector<std::string> lines;
  std::vector<float> values;
  uint32_t flags;
  int64_t hostFlags = -1;
  uint32_t status = kStatusOk;
};

void expectXyData(const XyCase& c, const ReadingRules& rules) {
  SCOPED_TRACE(c.lines[0]);
  TableRecord table(c.lines);
  table.context.rules = rules;
  JcampBlock block = blockWith(c.header);
  EXPECT_EQ(readXyData(block, table.record, table.context), c.status);
  EXPECT_TRUE(c.status == kStatusOk || block.yValues == nullptr);  // nothing allocated
  EXPECT_EQ(ordinatesOf(block), c.values);
  EXPECT_EQ(block.checkFlags, c.flags);
  if (c.hostFlags < 0) return;
  table.context.rules = kHostCompatibleRules;
  JcampBlock host = blockWith(c.header);
  EXPECT_EQ(readXyData(host, table.record, table.context), kStatusOk);
  EXPECT_EQ(host.checkFlags, static_cast<uint32_t>(c.hostFlags));
}

TEST(TableReadersTest, XyDataValuesAndChecks) {
  std::vector<float> counting;
  for (int i = 0; i < 300; ++i) counting.push_back(static_cast<float>(i % 3 + 1));
  const XyCase cases[] = {
      // A DIF check value ends a line and is taken by the next; a line ending otherwise
      // leaves none.
      {{6, 450, 455, 1, 123},
       {"450 A23nnU", "454 A03", "455 A05"},
       {123, 118, 113, 108, 103, 105},
       0},
      // A next line starting in DIF form fails the check and supplies nothing.
      {{5, 450, 454, 1, 123},
       {"450 A23nnU", "454 J03"},
       {123, 118, 113, 108, kM},
       kCheckY | kCheckCount},
      // Abscissas 0.6 and 0.5 steps off; in file units, divided by xFactor; with
      // two points there is no step, so the second line's is off.
      {{4, 400, 403, 1, 1}, {"400 1 2", "402.6 3 4"}, {1, 2, 3, 4}, kCheckX},
      {{4, 400, 403, 1, 1}, {"400 1 2", "402.5 3 4"}, {1, 2, 3, 4}, 0},
      {{4, 20, 26, 1, 1, 2}, {"10 1 2", "12 3 4"}, {1, 2, 3, 4}, 0},
      {{2, 10, 20, 1, 1}, {"10 1", "20 2"}, {1, 2}, kCheckX},
      // Scaled by yFactor (in double), '?' stays missing; FIRSTY may be off by yFactor, not more.
      {{3, 1, 3, 0.5, 2.5f}, {"1 4 ? 8"}, {2, kM, 4}, 0},
      {{3, 1, 3, 0.5, 2.6f}, {"1 4 6 8"}, {2, 3, 4}, kCheckFirstY},
      // Past NPOINTS the check value is still compared; the line after is not read
      // (its abscissa is off).
      {{3, 1, 3, 1, 1}, {"1 1 2 3J1", "4 5 6", "0 7"}, {1, 2, 3}, kCheckY | kCheckCount},
      // Short of NPOINTS the rest is missing; lines without ordinates count for nothing.
      {{5, 1, 5, 0.1, 1}, {" ;, ", "", "1 10 9", "3"}, {1, 0.9f, kM, kM, kM}, kCheckCount},
      {{5, 1, 5, 1, 11}, {dupsOfOneBillion(12)}, {11, 11, 11, 11, 11}, kCheckCount},
      // Without NPOINTS: the whole table, no FIRSTY check, no step. The last
      // ordinate is a DIF check value, not a point of its own.
      {{0, 1, 6, 2, 99}, {"1 1 2 3", "4 4 5J1"}, {2, 4, 6, 8, 10}, kCheckX | kCheckCount},
      // A 1 KB table claiming 4 billion points gets room for what it holds; the
      // same claim backed by DUP counts alone fails instead of allocating 16 GB.
      // DUP counts alone get room for up to 65536 values.
      {{4000000000u, 1, 1, 1, 1}, std::vector<std::string>(100, "1 1 2 3"), counting, kCheckCount},
      {{4000000000u, 1, 1, 1, 1}, {dupsOfOneBillion(5)}, {}, 0, -1, kStatusNoMemoryToRead},
      {{70000, 1, 1, 1, 1}, {"1 @X5536"}, std::vector<float>(65536, 0.0f), kCheckCount},
      {{70000, 1, 1, 1, 1}, {"1 @X5537"}, {}, 0, -1, kStatusNoMemoryToRead},
  };
  for (const XyCase& c : cases) expectXyData(c, kHostCompatibleRules);
}

// The same tables read by both rule sets: what each gives, and the warnings
// (with the line of the first) that make host-compatible values suspect.
TEST(TableReadersTest, XyDataUnderEachReading) {
  struct Case {
    Header header;
    std::vector<std::string> lines;  // data lines, from file line 2 on
    std::vector<float> host, standard;
    uint32_t hostWarnings, hostLine;  // the standard reading warns of nothing here
  };
  const double u = kUnsetDouble;
  const float big = 16777216;
  const Case cases[] = {
      {{3, 1, 3, 1, 1}, {"1 1.5 2.5 3"}, {1, 5, 2}, {1.5f, 2.5f, 3}, kWarnDecimalSplit, 2},
      // The last line ends in DIF form with no line after it to take its check value.
      {{4, 1, 4, 1, 1}, {"1 1 2", "3 3J"}, {1, 2, 3, kM}, {1, 2, 3, 4}, kWarnLastDropped, 3},
      // 2^24 + 1 is no float: the host-compatible sum loses it, then scales.
      {{2, 1, 2, 0.5, big / 2},
       {"1 16777216J", "2 A6777217"},
       {big / 2, big / 2},
       {big / 2, big / 2 + 0.5f},
       kWarnPrecision,
       2},
      // No factor: scaled by the unset marker, the X check divides by it; the
      // standard reading scales by 1.
      {{2, 1, 2, u, 1, u},
       {"1 1 2"},
       {3.4e38f, std::numeric_limits<float>::infinity()},
       {1, 2},
       kWarnNoFactor,
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.back());
    TableRecord table(c.lines);
    JcampBlock host = blockWith(c.header);
    EXPECT_EQ(readXyData(host, table.record, table.context), kStatusOk);
    EXPECT_EQ(ordinatesOf(host), c.host);
    EXPECT_EQ(host.warnings, c.hostWarnings);
    EXPECT_EQ(host.warningLine, c.hostLine);
    table.context.rules = kStandardRules;
    JcampBlock standard = blockWith(c.header);
    EXPECT_EQ(readXyData(standard, table.record, table.context), kStatusOk);
    EXPECT_EQ(ordinatesOf(standard), c.standard);
    EXPECT_EQ(standard.warnings, c.header.yFactor == u ? kWarnNoFactor : 0u);
    EXPECT_EQ(standard.checkFlags, 0u);
  }
}

// Line ends and Y checks under the standard rules: a line whose last ordinate
// comes from a DIF (repeated by a DUP or not) hands it to the next line as its
// check value, which takes its place; any other line end hands on nothing.
TEST(TableReadersTest, XyDataLineEndsUnderTheStandardRules) {
  const XyCase cases[] = {
      {{5, 1, 5, 1, 10}, {"1 A0JT", "3 A2JJ"}, {10, 11, 12, 13, 14}, 0},     // DUP after DIF
      {{4, 1, 4, 1, 10}, {"1 A0J", "2 A1TJ", "4 A2"}, {10, 11, 11, 12}, 0},  // DUP after check
      {{4, 1, 4, 1, 10}, {"1 A0T", "3 A1J"}, {10, 10, 11, 12}, 0},  // DUP after SQZ: no check
      {{4, 1, 4, 1, 10}, {"1 A0JA5", "4 A6"}, {10, 11, 15, 16}, 0},
      // E and e right after a decimal abscissa: SQZ +5 and -5, the check value.
      {{4, 0.5, 2, 1, 50}, {"0.5E0J", "1.0E1JJ"}, {50, 51, 52, 53}, 0},
      {{3, 0.5, 1.5, 1, -50}, {"0.5e0j", "1.0e1j"}, {-50, -51, -52}, 0},
      // A check value that fails: the next line's first ordinate takes its place.
      {{2, 1, 2, 1, 10}, {"1 A0J", "2 A5"}, {10, 15}, kCheckY},
      {{3, 1, 3, 1, 10}, {"1 A0J", "2 ?A2"}, {10, kM, 12}, kCheckY},
      // Abscissas that drift from the grid, but not from line to line, pass;
      // a line one ordinate short is a step off both.
      {{7, 0, 6, 1, 1},
       {"0 1 2", "2.4 3 4", "4.8 5 6", "7.2 7"},
       {1, 2, 3, 4, 5, 6, 7},
       0,
       kCheckX},
      {{6, 0, 5, 1, 1}, {"0 1", "2 3 4", "4 5 6"}, {1, 3, 4, 5, 6, kM}, kCheckX | kCheckCount},
      // In the file's units: 0.4 of a step of 1 (0.2 of the grid's 0.5).
      {{4, 0, 1.5, 1, 1, 0.5}, {"0 1 2", "2.4 3 4"}, {1, 2, 3, 4}, 0, kCheckX},
      {{2, 0, 3, 1, 1}, {"0 1", "3 2"}, {1, 2}, 0, kCheckX},  // two points give a step
  };
  for (const XyCase& c : cases) expectXyData(c, kStandardRules);
}

TEST(TableReadersTest, XyPoints) {
  struct Case {
    Header header;
    std::vector<std::string> lines;
    std::vector<float> xs;
    std::vector<float> ys;
    std::vector<uint32_t> isReal;
    uint32_t flags;
  };
  const Case cases[] = {
      {{2, 0, 0, 0.5, 2.5f, 2}, {"100.0, 5; 101, 7"}, {200, 202}, {2.5f, 3.5f}, {1, 0}, 0},
      {{2, 0, 0, 1, kM}, {" ,;. ", "()"}, {kM, kM}, {kM, kM}, {0, 0}, kCheckCount},
      {{1, 0, 0, 1, 5}, {"1 5 2 6", "3 7"}, {1}, {5}, {0}, kCheckCount},
      // No NPOINTS: every pair, no first-ordinate check.
      {{0, 0, 0, 1, 99}, {"1 5", "2.5 ?"}, {1, 2.5f}, {5, kM}, {0, 1}, kCheckCount},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines[0]);
    TableRecord table(c.lines);
    JcampBlock block = blockWith(c.header);
    EXPECT_EQ(readXyPoints(block, table.record, table.context), kStatusOk);
    const uint32_t n = block.tableLength;
    ASSERT_EQ(n, c.xs.size());
    EXPECT_EQ(std::vector<float>(block.xValues.get(), block.xValues.get() + n), c.xs);
    EXPECT_EQ(ordinatesOf(block), c.ys);
    EXPECT_EQ(std::vector<uint32_t>(block.xIsReal.get(), block.xIsReal.get() + n), c.isReal);
    EXPECT_EQ(block.checkFlags, c.flags);
  }
}

TEST(TableReadersTest, Concentrations) {
  struct Case {
    uint32_t capacity;
    std::vector<std::string> lines;
    std::vector<float> values;
  };
  const Case cases[] = {
      {2, {"(a, 1, %)", "(b, 2, %)", "(c, 3, %)"}, {1, 2}},  // longer than its capacity
      {3, {"(a, 1, %)", "(b, 2, %)"}, {1, 2, kM}},
      {3, {"(a, 1 5, %)", "(b, 2, %)"}, {1, 5, 2}},
      {3, {}, {}},  // no data line: no room is needed
      {0, {"(a, 1, %)"}, {}},
  };
  for (const Case& c : cases) {
    TableRecord table(c.lines);
    JcampBlock block;
    block.concentrationCount = c.capacity;
    EXPECT_EQ(readConcentrations(block, table.record, table.context), kStatusOk);
    EXPECT_EQ(std::vector<float>(block.concentrations.get(),
                                 block.concentrations.get() + block.concentrationLength),
              c.values);
    EXPECT_EQ(block.checkFlags, 0u);
  }
}

TEST(TableReadersTest, ARecordOutsideTheLineTableReadsNothing) {
  TableRecord table({"1 1 2 3"});
  LabelRecord outside;
  outside.firstLine = 1;
  outside.lineCount = 5;  // runs past the end of the table
  JcampBlock block = blockWith({3, 1, 3, 1, 2});
  EXPECT_EQ(readXyData(block, outside, table.context), kStatusOk);
  EXPECT_EQ(block.tableLength, 0u);
  EXPECT_EQ(block.checkFlags, kCheckFirstY | kCheckCount);
  outside.firstLine = 7;
  EXPECT_EQ(readXyPoints(block, outside, table.context), kStatusOk);
  EXPECT_EQ(block.tableLength, 0u);
}

}  // namespace
}  // namespace jcamp
