// Large buffers written from start to end before they are read: a file's
// bytes, a value block. Where the system allows it they are backed by large
// pages, and blocks given back are kept a while for the next ones: a fresh
// block's pages cost a fault and a clearing each when first written, which on
// some machines takes longer than filling them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>

namespace jcamp::platform {

// Memory that a block spans: at least what was asked for.
struct LargeBlock {
  void* data = nullptr;  // null when there is no memory
  size_t size = 0;
};

// A block of at least bytes, its contents unspecified.
LargeBlock takeLargeBlock(size_t bytes);
// Gives back a block from takeLargeBlock (nothing for a null one).
void giveBackLargeBlock(LargeBlock block);
// Hands the blocks kept for later back to the system (when the module goes).
void releaseKeptBlocks();

struct LargeBlockReturn {
  size_t size = 0;
  void operator()(void* data) const { giveBackLargeBlock(LargeBlock{data, size}); }
};

template <typename T>
using LargeArray = std::unique_ptr<T[], LargeBlockReturn>;

// count elements of T, not initialised; empty when there is no memory.
template <typename T>
LargeArray<T> allocateLargeArray(size_t count) {
  static_assert(std::is_trivial<T>::value, "the elements are left as the memory holds them");
  if (count > SIZE_MAX / sizeof(T)) return LargeArray<T>();
  const LargeBlock block = takeLargeBlock(count * sizeof(T));
  return LargeArray<T>(static_cast<T*>(block.data), LargeBlockReturn{block.size});
}

}  // namespace jcamp::platform
