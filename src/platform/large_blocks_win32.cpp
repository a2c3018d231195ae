#include <new>

#include "platform/large_blocks.h"

namespace jcamp::platform {

// Large pages on Windows need a privilege that ordinary users lack, and a
// 32-bit process has no address space to keep blocks in: plain heap memory.
LargeBlock takeLargeBlock(size_t bytes) {
  return LargeBlock{::operator new(bytes, std::nothrow), bytes};
}

void giveBackLargeBlock(LargeBlock block) {
  ::operator delete(block.data);
}

void releaseKeptBlocks() {}

}  // namespace jcamp::platform
