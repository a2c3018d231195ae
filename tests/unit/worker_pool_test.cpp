// The threads an import uses: every step runs once, commits come in order,
// a stop drops the steps not begun, and loops inside steps are helped.
#include "platform/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace jcamp::platform {
namespace {

TEST(WorkerPoolTest, StepsRunOnceAndCommitInOrder) {
  for (uint32_t threads : {1u, 2u, 4u}) {
    SCOPED_TRACE(threads);
    WorkerPool pool(threads);
    constexpr size_t kSteps = 200;
    std::vector<int> ran(kSteps, 0);
    std::vector<size_t> committed;
    std::atomic<int> inner{0};
    const bool finished = pool.forEachInOrder(
        kSteps,
        [&](size_t i) {
          ++ran[i];
          // A loop inside a step, helped by whoever is idle.
          WorkerPool::forEachHere(i % 5, [&](size_t) { ++inner; });
        },
        [&](size_t i) {
          committed.push_back(i);
          return true;
        });
    EXPECT_TRUE(finished);
    EXPECT_EQ(ran, std::vector<int>(kSteps, 1));
    std::vector<size_t> inOrder(kSteps);
    for (size_t i = 0; i < kSteps; ++i) inOrder[i] = i;
    EXPECT_EQ(committed, inOrder);
    EXPECT_EQ(inner.load(), 40 * (0 + 1 + 2 + 3 + 4));
  }
  // Outside a pool the steps run here, in order.
  EXPECT_EQ(WorkerPool::threadsHere(), 1u);
  std::vector<size_t> order;
  WorkerPool::forEachHere(3, [&](size_t i) { order.push_back(i); });
  EXPECT_EQ(order, (std::vector<size_t>{0, 1, 2}));
}

TEST(WorkerPoolTest, AStoppedLoopCommitsNothingAfterTheStop) {
  for (uint32_t threads : {1u, 2u}) {
    SCOPED_TRACE(threads);
    WorkerPool pool(threads);
    std::atomic<size_t> ran{0};
    std::vector<size_t> committed;
    const bool finished = pool.forEachInOrder(
        1000, [&](size_t) { ++ran; },
        [&](size_t i) {
          committed.push_back(i);
          return i < 3;
        });
    EXPECT_FALSE(finished);
    EXPECT_EQ(committed, (std::vector<size_t>{0, 1, 2, 3}));
    // One thread stops right there; others may have run ahead.
    if (threads == 1) {
      EXPECT_EQ(ran.load(), 4u);
    }
  }
}

}  // namespace
}  // namespace jcamp::platform
