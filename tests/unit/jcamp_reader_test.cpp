#include "scan/jcamp_reader.h"

#include <gtest/gtest.h>

namespace jcamp {
namespace {

TEST(JcampReaderTest, MessageTableHoldsEveryTextExactly) {
  const char* const expected[kStatusCount] = {
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
  for (int32_t code = 0; code < kStatusCount; ++code) {
    EXPECT_STREQ(JcampReader::messageText(code), expected[code]) << code;
  }
  EXPECT_STREQ(JcampReader::messageText(kStatusCount), "");
  JcampReader reader;
  EXPECT_EQ(reader.status, kReaderOk);
  EXPECT_EQ(reader.message, "");
  reader.fail(kStatusIllegalCharacter, {'x', -12});
  EXPECT_EQ(reader.message, "Illegal character \"x\" in line -12");
}

TEST(JcampReaderTest, ValueBlockIsAllocatedOnlyForSensibleShapes) {
  std::unique_ptr<float[]> taken;
  {
    JcampReader reader;
    reader.allocValueBlock(3, 4);
    ASSERT_NE(reader.valueBlock, nullptr);
    reader.valueBlock[11] = 2.5f;
    taken = reader.takeValueBlock();
    EXPECT_EQ(reader.valueBlock, nullptr);
    for (auto [rows, columns] :
         {std::pair{0, 4}, {4, 0}, {-1, 5}, {65536, 65536}, {INT32_MAX, 2}}) {
      reader.allocValueBlock(rows, columns);
      EXPECT_EQ(reader.valueBlock, nullptr) << rows << " x " << columns;
    }
  }
  EXPECT_EQ(taken[11], 2.5f);  // the block outlives the reader that made it
}

}  // namespace
}  // namespace jcamp
