#include "document/value_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace jcamp {
namespace {

// Rows x columns floats, or nothing for an empty, absurd or implausible shape.
TEST(ValueBlockTest, IsAllocatedOnlyForSensibleShapes) {
  constexpr int64_t kSmallFile = 100;
  for (auto [rows, columns] :
       {std::pair{3, 4}, {0, 4}, {4, 0}, {-1, 5}, {65536, 65536}, {INT32_MAX, 2}, {1024, 1024}}) {
    const ValueBlock values = allocateValues(rows, columns, kSmallFile);
    ASSERT_EQ(values != nullptr, rows == 3) << rows << " x " << columns;
    if (values) values[11] = 1.0f;  // the last entry, for the sanitizers
  }
  // A file's bytes grant more: 16 elements a byte.
  EXPECT_NE(allocateValues(1024, 1024, int64_t{1} << 16), nullptr);
}

}  // namespace
}  // namespace jcamp
