#include "ordered_chunks.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

enum ChunkState : char { kWaiting, kMade, kFailed };

}  // namespace

unsigned chunkThreads() {
  const unsigned machine = std::max(std::thread::hardware_concurrency(), 1u);
  const char* cap = std::getenv("JCAMP_THREADS");
  if (cap == nullptr || *cap == '\0') return machine;
  char* end = nullptr;
  const long wanted = std::strtol(cap, &end, 10);
  if (*end != '\0' || wanted < 1) return machine;
  return static_cast<unsigned>(std::min<long>(wanted, machine));
}

bool forChunksInOrder(size_t count, unsigned threads, size_t slots,
                      const std::function<bool(size_t, size_t)>& make,
                      const std::function<bool(size_t, size_t)>& take) {
  slots = std::max<size_t>(slots, 1);
  if (threads <= 1 || count <= 1) {
    for (size_t i = 0; i < count; ++i) {
      if (!make(i, i % slots) || !take(i, i % slots)) return false;
    }
    return true;
  }
  std::mutex lock;
  std::condition_variable changed;
  std::vector<char> state(count, kWaiting);
  size_t next = 0;   // the first chunk no thread has started
  size_t taken = 0;  // chunks taken so far
  bool stopping = false;
  const auto work = [&] {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
      changed.wait(hold, [&] { return stopping || next >= count || next < taken + slots; });
      if (stopping || next >= count) return;
      const size_t i = next++;
      hold.unlock();
      const bool made = make(i, i % slots);
      hold.lock();
      state[i] = made ? kMade : kFailed;
      if (!made) stopping = true;
      changed.notify_all();
    }
  };
  std::vector<std::thread> workers;
  try {
    for (unsigned t = 0; t < threads && t < count; ++t) workers.emplace_back(work);
  } catch (...) {
    // Fewer threads than asked for: those started do the work.
  }
  bool done = !workers.empty();
  if (!done) {
    // Not one thread could start: the calling thread makes every chunk.
    for (size_t i = 0; i < count; ++i) {
      if (!make(i, i % slots) || !take(i, i % slots)) return false;
    }
    return true;
  }
  for (size_t i = 0; i < count && done; ++i) {
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, [&] { return state[i] != kWaiting || (stopping && i >= next); });
    if (state[i] != kMade) {
      done = false;
      break;
    }
    hold.unlock();
    done = take(i, i % slots);
    hold.lock();
    taken = i + 1;
    if (!done) stopping = true;
    changed.notify_all();
  }
  {
    std::lock_guard<std::mutex> hold(lock);
    stopping = true;
  }
  changed.notify_all();
  for (std::thread& worker : workers) worker.join();
  return done;
}
