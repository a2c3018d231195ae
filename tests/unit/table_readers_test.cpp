#include "labels/table_readers.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "labels/markers.h"

namespace jcamp {
namespace {

constexpr float kM = kMissingValue;

// A record whose value lines are `lines` (the first one the label's own
// value), seen through currentLineTable while the object lives.
class TableRecord {
 public:
  explicit TableRecord(std::vector<std::string> lines) : text_(std::move(lines)) {
    for (std::string& line : text_) pointers_.push_back(line.data());
    currentLineTable = LineView{pointers_.data(), static_cast<uint32_t>(pointers_.size())};
    record_.lineCount = static_cast<uint32_t>(pointers_.size());
  }
  ~TableRecord() { currentLineTable = LineView{}; }
  TableRecord(const TableRecord&) = delete;
  TableRecord& operator=(const TableRecord&) = delete;

  const LabelRecord& record() const { return record_; }

 private:
  std::vector<std::string> text_;
  std::vector<char*> pointers_;
  LabelRecord record_;
};

struct Header {
  uint32_t nPoints;
  double firstX;
  double lastX;
  double yFactor = 1;
  float firstY = kUnsetValue;
  double xFactor = 1;
};

JcampBlock blockWith(const Header& header) {
  JcampBlock block;
  block.nPoints = header.nPoints;
  block.firstX = header.firstX;
  block.lastX = header.lastX;
  block.xFactor = header.xFactor;
  block.yFactor = header.yFactor;
  block.firstY = header.firstY;
  return block;
}

std::vector<float> tableOf(const JcampBlock& block) {
  if (block.yValues == nullptr) return {};
  return std::vector<float>(block.yValues.get(), block.yValues.get() + block.tableLength);
}

std::vector<std::string> withLabelLine(std::vector<std::string> lines) {
  lines.insert(lines.begin(), "(X++(Y..Y))");
  return lines;
}

const std::string kDupLine = [] {
  std::string line = "1 ";
  while (line.size() < 127) line += "Z9";
  return line.substr(0, 127);
}();

std::string dupsOfOneBillion(int tokens) {
  std::string line = "1 A1";
  for (int i = 0; i < tokens; ++i) line += "S000000000";
  return line;
}

struct XyDataCase {
  const char* what;
  Header header;
  std::vector<std::string> lines;
  std::vector<float> values;
  uint32_t flags;
};

TEST(TableReadersTest, XyDataValuesAndChecks) {
  const std::string hundredDigits(100, '1');
  const XyDataCase cases[] = {
      {"the DIF check value ends a line and is taken by the next",
       {5, 450, 454, 1, 123},
       {"450 A23nnU", "454 A03"},
       {123, 118, 113, 108, 103},
       0},
      {"a next line starting in DIF form fails the check and supplies nothing",
       {5, 450, 454, 1, 123},
       {"450 A23nnU", "454 J03"},
       {123, 118, 113, 108, kM},
       kCheckY | kCheckCount},
      {"an abscissa 0.6 steps off",
       {12, 400, 411, 1, 1},
       {"400 1 2 3 4 5 6 7 8 9 10", "410.6 11 12"},
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
       kCheckX},
      {"an abscissa half a step off",
       {12, 400, 411, 1, 1},
       {"400 1 2 3 4 5 6 7 8 9 10", "410.5 11 12"},
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
       0},
      {"two points: no step, every other abscissa is off",
       {2, 10, 20, 1, 1},
       {"10 1", "11 2"},
       {1, 2},
       kCheckX},
      {"abscissas in file units, divided by xFactor",
       {4, 20, 26, 1, 1, 2},
       {"10 1 2", "12 3 4"},
       {1, 2, 3, 4},
       0},
      {"scaled by yFactor; '?' stays missing", {3, 1, 3, 0.5, 2}, {"1 4 ? 8"}, {2, kM, 4}, 0},
      {"the first ordinate further than yFactor from FIRSTY",
       {3, 1, 3, 0.5, 2.6f},
       {"1 4 6 8"},
       {2, 3, 4},
       kCheckFirstY},
      {"more ordinates than points: the rest is dropped",
       {3, 1, 3, 1, 1},
       {"1 1 2 3 4 5", "6 6"},
       {1, 2, 3},
       kCheckCount},
      {"fewer ordinates than points: missing",
       {5, 1, 5, 1, 1},
       {"1 1 2", "3"},
       {1, 2, kM, kM, kM},
       kCheckCount},
      {"lines without ordinates change nothing",
       {3, 1, 3, 1, 1},
       {"", " ;, ", "1 1 2 3"},
       {1, 2, 3},
       0},
      {"127 characters of DUP tokens",
       {10, 1, 10, 1, 0},
       {kDupLine},
       std::vector<float>(10, 0),
       kCheckCount},
      {"DUP counts of 10^9",
       {5, 1, 5, 1, 11},
       {dupsOfOneBillion(12)},
       {11, 11, 11, 11, 11},
       kCheckCount},
      {"a DIF as the first token", {2, 1, 2, 1, 0}, {"1 J5K"}, {0, kM}, kCheckCount},
      {"100-digit tokens read as 0", {2, 1, 2, 1, 0}, {"1 " + hundredDigits + " 7"}, {0, 7}, 0},
  };
  for (const XyDataCase& c : cases) {
    SCOPED_TRACE(c.what);
    TableRecord table(withLabelLine(c.lines));
    JcampBlock block = blockWith(c.header);
    EXPECT_EQ(readXyData(block, table.record()), kDocOk);
    EXPECT_EQ(tableOf(block), c.values);
    EXPECT_EQ(block.checkFlags, c.flags);
  }
}

TEST(TableReadersTest, XyDataRoomIsBoundedByWhatTheLinesHold) {
  // A 1 KB table whose header asks for 4 billion points: room for what is there.
  std::vector<std::string> lines(100, "1 1 2 3");
  {
    TableRecord table(withLabelLine(lines));
    JcampBlock block = blockWith({4000000000u, 1, 1, 1, 1});
    EXPECT_EQ(readXyData(block, table.record()), kDocOk);
    EXPECT_EQ(block.tableLength, 300u);
    EXPECT_EQ(block.checkFlags, kCheckCount);
  }
  // The same claim backed by DUP counts alone fails at once instead of allocating 16 GB.
  {
    TableRecord table(withLabelLine({dupsOfOneBillion(5)}));
    JcampBlock block = blockWith({4000000000u, 1, 2, 1, 1});
    EXPECT_EQ(readXyData(block, table.record()), kDocNoMemory);
    EXPECT_EQ(block.yValues, nullptr);
    EXPECT_EQ(block.tableLength, 0u);
  }
  // An all-zero spectrum written as one DUP gets room for what it holds, up to a bound.
  {
    TableRecord table(withLabelLine({"1 @W0000"}));
    JcampBlock block = blockWith({60000, 1, 60000, 1, 0});
    EXPECT_EQ(readXyData(block, table.record()), kDocOk);
    EXPECT_EQ(block.tableLength, 50000u);
    EXPECT_EQ(block.yValues[49999], 0.0f);
    EXPECT_EQ(block.checkFlags, kCheckCount);
  }
  {
    TableRecord table(withLabelLine({"1 @s9999"}));
    JcampBlock block = blockWith({100000, 1, 100000, 1, 0});
    EXPECT_EQ(readXyData(block, table.record()), kDocNoMemory);
  }
}

TEST(TableReadersTest, XyDataWithoutNPointsDecodesTheWholeTable) {
  TableRecord table(withLabelLine({"1 1 2 3", "4 4 5J1"}));
  JcampBlock block = blockWith({0, 1, 6, 2, 99});
  EXPECT_EQ(readXyData(block, table.record()), kDocOk);
  // The last ordinate is a DIF check value: it is not a point of its own.
  EXPECT_EQ(tableOf(block), (std::vector<float>{2, 4, 6, 8, 10}));
  // No first-ordinate check; without a step every line after the first is off.
  EXPECT_EQ(block.checkFlags, kCheckX | kCheckCount);
}

TEST(TableReadersTest, XyPoints) {
  struct Case {
    const char* what;
    Header header;
    std::vector<std::string> lines;
    std::vector<float> xs;
    std::vector<float> ys;
    std::vector<uint32_t> isReal;
    uint32_t flags;
  };
  const Case cases[] = {
      {"pairs, scaled",
       {2, 0, 0, 0.5, 2.5f, 2},
       {"100.0, 5; 101, 7"},
       {200, 202},
       {2.5f, 3.5f},
       {1, 0},
       0},
      {"lines of separators only",
       {2, 0, 0, 1, kM},
       {" ,;. ", "()"},
       {kM, kM},
       {kM, kM},
       {0, 0},
       kCheckCount},
      {"more pairs than points", {1, 0, 0, 1, 5}, {"1 5 2 6", "3 7"}, {1}, {5}, {0}, kCheckCount},
      {"no NPOINTS: every pair, no first-ordinate check",
       {0, 0, 0, 1, 99},
       {"1 5", "2.5 ?"},
       {1, 2.5f},
       {5, kM},
       {0, 1},
       kCheckCount},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TableRecord table(withLabelLine(c.lines));
    JcampBlock block = blockWith(c.header);
    EXPECT_EQ(readXyPoints(block, table.record()), kDocOk);
    const uint32_t n = block.tableLength;
    ASSERT_EQ(n, c.xs.size());
    EXPECT_EQ(std::vector<float>(block.xValues.get(), block.xValues.get() + n), c.xs);
    EXPECT_EQ(std::vector<float>(block.yValues.get(), block.yValues.get() + n), c.ys);
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
    TableRecord table(withLabelLine(c.lines));
    JcampBlock block;
    block.concentrationCount = c.capacity;
    EXPECT_EQ(readConcentrations(block, table.record()), kDocOk);
    EXPECT_EQ(std::vector<float>(block.concentrations.get(),
                                 block.concentrations.get() + block.concentrationLength),
              c.values);
    EXPECT_EQ(block.checkFlags, 0u);
  }
}

TEST(TableReadersTest, ARecordOutsideTheLineTableReadsNothing) {
  TableRecord table(withLabelLine({"1 1 2 3"}));
  LabelRecord outside;
  outside.firstLine = 1;
  outside.lineCount = 5;  // runs past the end of the table
  JcampBlock block = blockWith({3, 1, 3, 1, 2});
  EXPECT_EQ(readXyData(block, outside), kDocOk);
  EXPECT_EQ(block.tableLength, 0u);
  EXPECT_EQ(block.checkFlags, kCheckFirstY | kCheckCount);
  outside.firstLine = 7;
  EXPECT_EQ(readXyPoints(block, outside), kDocOk);
  EXPECT_EQ(block.tableLength, 0u);
}

}  // namespace
}  // namespace jcamp
