#include "platform/worker_pool.h"

#include <algorithm>
#include <cstdlib>

namespace jcamp::platform {
namespace {

constexpr char kThreadsVariable[] = "JCAMP_THREADS";
// Each thread holds a file and its document while it reads: in a 32-bit
// process address space, not the cores, is what runs out first.
constexpr uint32_t kMostThreads = sizeof(void*) < 8 ? 4 : 64;

// The level of the loop whose step this thread runs; 0 outside every loop.
// A loop started inside a step lies one level deeper.
thread_local uint32_t currentLevel = 0;
// The pool of that loop.
thread_local WorkerPool* currentPool = nullptr;

}  // namespace

struct WorkerPool::Loop {
  const std::function<void(size_t)>* step = nullptr;
  uint32_t level = 0;
  size_t next = 0;         // the first step not yet taken
  size_t limit = 0;        // no step from here on is taken
  size_t finished = 0;     // steps taken and finished
  std::vector<char> done;  // per step, for loops committed in order

  bool hasStep() const { return next < limit; }
  bool idle() const { return finished == next; }
};

WorkerPool::WorkerPool(uint32_t threads) {
  try {
    for (uint32_t i = 1; i < threads; ++i) threads_.emplace_back([this] { work(); });
  } catch (...) {
    // Fewer threads than asked for: the caller and those started do the work.
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

uint32_t WorkerPool::threadsWanted() {
  const uint32_t machine = std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
  const char* cap = std::getenv(kThreadsVariable);
  if (cap == nullptr || *cap == '\0') return machine;
  char* end = nullptr;
  const long wanted = std::strtol(cap, &end, 10);
  if (*end != '\0' || wanted < 1) return machine;
  return static_cast<uint32_t>(std::min<long>(wanted, machine));
}

void WorkerPool::forEachHere(size_t count, const std::function<void(size_t)>& step) {
  if (currentPool != nullptr) {
    currentPool->forEach(count, step);
  } else {
    for (size_t i = 0; i < count; ++i) step(i);
  }
}

uint32_t WorkerPool::threadsHere() {
  return currentPool != nullptr ? currentPool->size() : 1;
}

WorkerPool::Loop* WorkerPool::findStep(uint32_t aboveLevel, size_t& index) {
  // The deepest loop first: it finishes the step of an outer loop sooner.
  for (auto it = loops_.rbegin(); it != loops_.rend(); ++it) {
    Loop* loop = *it;
    if (loop->level > aboveLevel && loop->hasStep()) {
      index = loop->next++;
      return loop;
    }
  }
  return nullptr;
}

void WorkerPool::runStep(Loop& loop, size_t index, std::unique_lock<std::mutex>& lock) {
  lock.unlock();
  const uint32_t outerLevel = currentLevel;
  WorkerPool* const outerPool = currentPool;
  currentLevel = loop.level;
  currentPool = this;
  (*loop.step)(index);
  currentLevel = outerLevel;
  currentPool = outerPool;
  lock.lock();
  ++loop.finished;
  if (!loop.done.empty()) loop.done[index] = 1;
  changed_.notify_all();
}

void WorkerPool::work() {
  std::unique_lock<std::mutex> lock(lock_);
  for (;;) {
    size_t index = 0;
    if (Loop* loop = findStep(0, index)) {
      runStep(*loop, index, lock);
    } else if (stopping_) {
      return;
    } else {
      changed_.wait(lock);
    }
  }
}

template <typename Done>
void WorkerPool::helpUntil(const Loop& loop, std::unique_lock<std::mutex>& lock, Done done) {
  while (!done()) {
    // Only steps of this loop or of loops inside some step: an outer loop's
    // step could keep this one waiting far longer than its own work.
    size_t index = 0;
    if (Loop* step = findStep(loop.level - 1, index)) {
      runStep(*step, index, lock);
    } else {
      changed_.wait(lock);
    }
  }
}

void WorkerPool::forEach(size_t count, const std::function<void(size_t)>& step) {
  if (threads_.empty() || count <= 1) {
    for (size_t i = 0; i < count; ++i) step(i);
    return;
  }
  Loop loop;
  loop.step = &step;
  loop.level = currentLevel + 1;
  loop.limit = count;
  std::unique_lock<std::mutex> lock(lock_);
  loops_.push_back(&loop);
  changed_.notify_all();
  helpUntil(loop, lock, [&] { return !loop.hasStep() && loop.idle(); });
  loops_.erase(std::find(loops_.begin(), loops_.end(), &loop));
}

bool WorkerPool::forEachInOrder(size_t count, const std::function<void(size_t)>& step,
                                const std::function<bool(size_t)>& commit) {
  if (threads_.empty()) {
    for (size_t i = 0; i < count; ++i) {
      step(i);
      if (!commit(i)) return false;
    }
    return true;
  }
  Loop loop;
  loop.step = &step;
  loop.level = currentLevel + 1;
  loop.limit = count;
  loop.done.assign(count, 0);
  std::unique_lock<std::mutex> lock(lock_);
  loops_.push_back(&loop);
  changed_.notify_all();
  bool goOn = true;
  for (size_t committed = 0; goOn && committed < count; ++committed) {
    helpUntil(loop, lock, [&] { return loop.done[committed] != 0; });
    lock.unlock();
    goOn = commit(committed);
    lock.lock();
  }
  // Stopped: steps not yet taken are dropped, those under way end first.
  loop.limit = loop.next;
  helpUntil(loop, lock, [&] { return loop.idle(); });
  loops_.erase(std::find(loops_.begin(), loops_.end(), &loop));
  return goOn;
}

}  // namespace jcamp::platform
