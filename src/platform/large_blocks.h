// Large buffers and arrays that an import fills once: a file's bytes, its
// line starts, labels and blocks, a value block. Where the system allows it
// they are backed by large pages, and blocks given back are kept a while for
// the next ones: a fresh block's pages cost a fault and a clearing each when
// first written, which on some machines takes longer than filling them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
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

// Objects of T in a block: destroyed, then the block given back.
template <typename T>
struct LargeObjectsReturn {
  size_t count = 0;
  size_t size = 0;
  void operator()(T* objects) const {
    for (size_t i = 0; i < count; ++i) objects[i].~T();
    giveBackLargeBlock(LargeBlock{objects, size});
  }
};

template <typename T>
using LargeObjects = std::unique_ptr<T[], LargeObjectsReturn<T>>;

// count value-initialised objects of T, as std::make_unique<T[]> makes them;
// throws std::bad_alloc when there is no memory.
template <typename T>
LargeObjects<T> makeLargeObjects(size_t count) {
  static_assert(std::is_nothrow_default_constructible<T>::value, "no object is left half made");
  if (count > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
  const LargeBlock block = takeLargeBlock(count * sizeof(T));
  if (block.data == nullptr) throw std::bad_alloc();
  T* const objects = static_cast<T*>(block.data);
  for (size_t i = 0; i < count; ++i) new (objects + i) T();
  return LargeObjects<T>(objects, LargeObjectsReturn<T>{count, block.size});
}

// count elements of T, not initialised; empty when there is no memory.
template <typename T>
LargeArray<T> allocateLargeArray(size_t count) {
  static_assert(std::is_trivial<T>::value, "the elements are left as the memory holds them");
  if (count > SIZE_MAX / sizeof(T)) return LargeArray<T>();
  const LargeBlock block = takeLargeBlock(count * sizeof(T));
  return LargeArray<T>(static_cast<T*>(block.data), LargeBlockReturn{block.size});
}

}  // namespace jcamp::platform
