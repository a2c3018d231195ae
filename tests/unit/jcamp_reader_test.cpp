#include "scan/jcamp_reader.h"

#include <gtest/gtest.h>

#include <climits>

#include "scan/message_format.h"
#include "scan/whole_number.h"

namespace jcamp {
namespace {

TEST(JcampReaderTest, MessageTableHoldsEveryTextExactly) {
  const char* const expected[] = {
      "General file IO error",
      "Label %s missing in block number %d",
      "General JCAMP format error",
      "Not enough memory to store the matrix",
      "Illegal character \"%c\" in line %d",
      "Unexpected end of file %s",
      "Illegal ##BLOCKS= value: %d",
      "Tabular data XYDATA or XYPOINTS required",
      "Unexpected label in line %d",
      "X names are required",
      "X name error: \"%s\" (must be number)",
      "First line too long in JCAMP-DX file",
      "Illegal number string \"%s\" in line %d",
      "Number string \"%s\" too long in line %d",
      "Illegal NPOINTS value in data block number %d",
      "JCAMP X-values are different from other files in group",
      "Format error in ##CONCENTRATIONS data",
  };
  ASSERT_EQ(sizeof expected / sizeof expected[0], static_cast<size_t>(kStatusCount));
  for (int32_t code = 0; code < kStatusCount; ++code) {
    EXPECT_STREQ(JcampReader::messageText(code), expected[code]) << code;
  }
  EXPECT_STREQ(JcampReader::messageText(-1), "");
  EXPECT_STREQ(JcampReader::messageText(kStatusCount), "");
  EXPECT_STREQ(JcampReader::messageText(kReaderOk), "");
}

TEST(JcampReaderTest, StatusAndMessageAreSetTogether) {
  JcampReader reader;
  EXPECT_EQ(reader.status, kReaderOk);
  EXPECT_EQ(reader.message, "");
  EXPECT_EQ(reader.fail(kStatusLabelMissing, {"##NPOINTS=", 1}), 1);
  EXPECT_EQ(reader.status, kStatusLabelMissing);
  EXPECT_EQ(reader.message, "Label ##NPOINTS= missing in block number 1");
  reader.fail(kStatusIllegalCharacter, {'x', -12});
  EXPECT_EQ(reader.message, "Illegal character \"x\" in line -12");
  reader.fail(kStatusUnexpectedEnd, {""});
  EXPECT_EQ(reader.message, "Unexpected end of file ");
  reader.fail(kStatusConcentrations);
  EXPECT_EQ(reader.message, "Format error in ##CONCENTRATIONS data");
  reader.clearStatus();
  EXPECT_EQ(reader.status, kReaderOk);
  EXPECT_EQ(reader.message, "");
}

TEST(JcampReaderTest, FormattingLeavesUnmatchedDirectivesAsWritten) {
  EXPECT_EQ(formatMessage("Label %s missing in block number %d", {}),
            "Label %s missing in block number %d");
  EXPECT_EQ(formatMessage("%d%% of %s", {INT32_MIN, "all"}), "-2147483648% of all");
  // A number where a text belongs is not used for it.
  EXPECT_EQ(formatMessage("%s and %d", {7}), "%s and 7");
  EXPECT_EQ(formatMessage("ends with %", {"x"}), "ends with %");
}

TEST(JcampReaderTest, ValueBlockIsAllocatedOnlyForSensibleShapes) {
  JcampReader reader;
  reader.allocValueBlock(3, 4);
  ASSERT_NE(reader.valueBlock, nullptr);
  reader.valueBlock[11] = 2.5f;
  std::unique_ptr<float[]> taken = reader.takeValueBlock();
  EXPECT_EQ(reader.valueBlock, nullptr);
  {
    JcampReader other;
    other.allocValueBlock(1, 1);
    std::unique_ptr<float[]> kept = other.takeValueBlock();
    kept[0] = 1.0f;
    taken.swap(kept);
  }
  EXPECT_EQ(taken[0], 1.0f);  // the block outlives the reader that made it
  const int32_t shapes[][2] = {{0, 4}, {4, 0}, {-1, 5}, {65536, 65536}, {INT32_MAX, INT32_MAX}};
  for (const auto& shape : shapes) {
    reader.allocValueBlock(shape[0], shape[1]);
    EXPECT_EQ(reader.valueBlock, nullptr) << shape[0] << " x " << shape[1];
  }
}

TEST(JcampReaderTest, WholeNumbersReadLikeAtoiAndSaturate) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {{"1024", 1024},
               {"  -12abc", -12},
               {"+7", 7},
               {"4000.5", 4000},
               {".5", 0},
               {"", 0},
               {"x1", 0},
               {"- 1", 0},
               {"\t 42", 42},
               {"2147483647", INT32_MAX},
               {"99999999999999999999", INT32_MAX},
               {"-2147483648", INT32_MIN},
               {"-99999999999", INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(leadingInteger(c.text), c.value) << c.text;
  EXPECT_EQ(leadingInteger(nullptr), 0);
}

}  // namespace
}  // namespace jcamp
