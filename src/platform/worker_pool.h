// Threads that help the calling thread through loops whose steps are
// independent. The caller always takes part, so a pool of one thread runs
// everything on the caller's thread, in order. A loop started inside a step is
// helped by the threads that the outer loop leaves idle. The threads end with
// the pool: no thread outlives its owner.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace jcamp::platform {

class WorkerPool {
 public:
  // threads counts the caller: threads - 1 are started (fewer when the system
  // refuses some; the pool then works with what it has).
  explicit WorkerPool(uint32_t threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Threads that work on a loop, the caller included.
  uint32_t size() const { return static_cast<uint32_t>(threads_.size()) + 1; }

  // Runs step(i) for every i below count and returns when all have finished.
  // A step must not throw.
  void forEach(size_t count, const std::function<void(size_t)>& step);

  // Runs step(i) for every i below count, and commit(i) on the calling thread
  // in order of i, each as soon as its step has finished. When commit returns
  // false no further step starts: the call returns false once the steps under
  // way have finished. Neither may throw.
  bool forEachInOrder(size_t count, const std::function<void(size_t)>& step,
                      const std::function<bool(size_t)>& commit);

  // forEach on the pool whose loop the calling thread works for; outside
  // every pool's loop, the steps run right here, in order.
  static void forEachHere(size_t count, const std::function<void(size_t)>& step);
  // Threads that forEachHere would use, the caller included.
  static uint32_t threadsHere();

  // How many threads a loop may use: the machine's (at most 4 in a 32-bit
  // process, 64 otherwise), capped by the environment variable JCAMP_THREADS
  // when it holds a number from 1 on.
  static uint32_t threadsWanted();

 private:
  struct Loop;
  void work();
  // A step of a loop (the deepest first) that the current thread may take;
  // null when none. Under lock_.
  Loop* findStep(uint32_t aboveLevel, size_t& index);
  void runStep(Loop& loop, size_t index, std::unique_lock<std::mutex>& lock);
  // Waits, taking steps of deeper loops meanwhile, until done() holds.
  template <typename Done>
  void helpUntil(const Loop& loop, std::unique_lock<std::mutex>& lock, Done done);

  std::mutex lock_;
  std::condition_variable changed_;  // a step was added or finished, or the pool stops
  std::vector<Loop*> loops_;         // loops with steps, outermost first
  std::vector<std::thread> threads_;
  bool stopping_ = false;
};

}  // namespace jcamp::platform
