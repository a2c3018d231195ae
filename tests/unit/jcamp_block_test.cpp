#include "labels/jcamp_block.h"

#include <gtest/gtest.h>

#include <cstring>

namespace jcamp {
namespace {

// The marker's exact bits, and the double fields holding the widened float
// rather than the double 3.4e38 (a test against the latter would never match).
TEST(JcampBlockTest, UnsetFieldsHoldTheFloatMarkerWidenedInDoubles) {
  uint32_t bits = 0;
  std::memcpy(&bits, &kUnsetValue, sizeof bits);
  EXPECT_EQ(bits, 0x7F7FC99Eu);
  EXPECT_EQ(kUnsetDouble, 3.3999999521443642e38);
  EXPECT_NE(kUnsetDouble, 3.4e38);

  const JcampBlock block;
  EXPECT_EQ(block.firstX, kUnsetDouble);
  EXPECT_EQ(block.yFactor, kUnsetDouble);
  EXPECT_EQ(block.driftChamber[2], kUnsetValue);
  EXPECT_EQ(block.tableForm + block.nPoints + block.checkFlags, 0u);
  EXPECT_EQ(block.yValues, nullptr);
  EXPECT_EQ(std::memcmp(block.driftChamberCode, "\0\0\0\0\0", 5), 0);
}

}  // namespace
}  // namespace jcamp
