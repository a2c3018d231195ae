// Blocks that come back are handed out again, never to two holders at once.
#include "platform/large_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace jcamp::platform {
namespace {

TEST(LargeBlocksTest, EachHolderHasItsBlockToItself) {
  constexpr size_t kSizes[] = {size_t{1} << 10, size_t{5} << 20, size_t{9} << 20, size_t{6} << 20};
  std::vector<std::thread> threads;
  std::vector<int> clashes(3, 0);
  for (int t = 0; t < 3; ++t) {
    threads.emplace_back([t, &kSizes, &clashes] {
      for (int round = 0; round < 12; ++round) {
        const size_t bytes = kSizes[(round + t) % 4];
        LargeArray<uint8_t> block = allocateLargeArray<uint8_t>(bytes);
        ASSERT_TRUE(block);
        const auto mark = static_cast<uint8_t>(t * 16 + round);
        std::fill(block.get(), block.get() + bytes, mark);
        std::this_thread::yield();
        clashes[t] += static_cast<int>(std::count_if(block.get(), block.get() + bytes,
                                                     [mark](uint8_t b) { return b != mark; }));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(clashes, std::vector<int>(3, 0));
  EXPECT_FALSE(allocateLargeArray<uint64_t>(SIZE_MAX / 4));
}

}  // namespace
}  // namespace jcamp::platform
