#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <type_traits>

#include "platform/large_blocks.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

// Blocks the address sanitizer cannot see into come only from the heap there.
#if defined(__SANITIZE_ADDRESS__)
#define JCAMP_HEAP_BLOCKS_ONLY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define JCAMP_HEAP_BLOCKS_ONLY 1
#endif
#endif

#if defined(__linux__) && defined(MADV_FREE) && defined(MADV_HUGEPAGE) && \
    !defined(JCAMP_HEAP_BLOCKS_ONLY)
#define JCAMP_KEEPS_LARGE_BLOCKS 1
#endif

namespace jcamp::platform {
namespace {

LargeBlock heapBlock(size_t bytes) {
  return LargeBlock{::operator new(bytes, std::nothrow), bytes};
}

#if defined(JCAMP_KEEPS_LARGE_BLOCKS)
constexpr size_t kLargePage = size_t{2} << 20;
// Smaller blocks come from the heap, which keeps its own.
constexpr size_t kMappedFrom = size_t{1} << 20;
// Blocks given back stay mapped, their pages the system's to take back
// whenever it needs them: at most this many blocks and bytes.
constexpr size_t kKeptBlocks = 8;
constexpr size_t kKeptBytes = size_t{256} << 20;

size_t wholeLargePages(size_t bytes) {
  return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

// A fresh mapping of size bytes that starts on a large page, so that all of
// it can be backed by large pages.
LargeBlock mapBlock(size_t size) {
  void* const raw =
      mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return LargeBlock{};
  const auto begin = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t start = (begin + kLargePage - 1) & ~(uintptr_t{kLargePage} - 1);
  if (start > begin) munmap(raw, start - begin);
  const uintptr_t tail = begin + size + kLargePage - (start + size);
  if (tail > 0) munmap(reinterpret_cast<void*>(start + size), tail);
  auto* const data = reinterpret_cast<void*>(start);
  madvise(data, size, MADV_HUGEPAGE);
  return LargeBlock{data, size};
}

class KeptBlocks {
 public:
  // A kept block of size bytes up to twice that, or none.
  LargeBlock take(size_t size) {
    std::lock_guard<std::mutex> hold(lock_);
    size_t best = count_;
    for (size_t k = 0; k < count_; ++k) {
      const size_t kept = blocks_[k].size;
      if (kept >= size && kept / 2 <= size && (best == count_ || kept < blocks_[best].size)) {
        best = k;
      }
    }
    if (best == count_) return LargeBlock{};
    const LargeBlock block = blocks_[best];
    remove(best);
    return block;
  }

  // Keeps block, the oldest ones going while there are too many; one larger
  // than all that may be kept goes at once, and the others stay.
  void keep(LargeBlock block) {
    if (block.size > kKeptBytes) {
      munmap(block.data, block.size);
      return;
    }
    std::lock_guard<std::mutex> hold(lock_);
    while (count_ == kKeptBlocks || bytes_ + block.size > kKeptBytes) dropOldest();
    blocks_[count_++] = block;
    bytes_ += block.size;
  }

  void releaseAll() {
    std::lock_guard<std::mutex> hold(lock_);
    while (count_ > 0) dropOldest();
  }

 private:
  void dropOldest() {
    munmap(blocks_[0].data, blocks_[0].size);
    remove(0);
  }

  void remove(size_t k) {
    bytes_ -= blocks_[k].size;
    for (size_t j = k + 1; j < count_; ++j) blocks_[j - 1] = blocks_[j];
    --count_;
  }

  std::mutex lock_;
  LargeBlock blocks_[kKeptBlocks];
  size_t count_ = 0;
  size_t bytes_ = 0;
};

// Made before any code runs and never destroyed (nothing in it needs to
// be): a block may come back while the module's other objects go.
static_assert(std::is_trivially_destructible<KeptBlocks>::value, "kept blocks outlive the module");
KeptBlocks& keptBlocks() {
  static KeptBlocks kept;
  return kept;
}
#endif

}  // namespace

LargeBlock takeLargeBlock(size_t bytes) {
#if defined(JCAMP_KEEPS_LARGE_BLOCKS)
  if (bytes >= kMappedFrom && bytes <= SIZE_MAX - 2 * kLargePage) {
    const size_t size = wholeLargePages(bytes);
    LargeBlock block = keptBlocks().take(size);
#if !defined(NDEBUG)
    // What an earlier block held must never show through: make it plain.
    if (block.data != nullptr) std::memset(block.data, 0xA5, block.size);
#endif
    return block.data != nullptr ? block : mapBlock(size);
  }
#endif
  return heapBlock(bytes);
}

void giveBackLargeBlock(LargeBlock block) {
  if (block.data == nullptr) return;
#if defined(JCAMP_KEEPS_LARGE_BLOCKS)
  if (block.size >= kMappedFrom) {
    // The pages stay mapped, but the system may take them whenever it needs
    // them; until then the next block uses them as they are.
    if (madvise(block.data, block.size, MADV_FREE) != 0) {
      munmap(block.data, block.size);
      return;
    }
    keptBlocks().keep(block);
    return;
  }
#endif
  ::operator delete(block.data);
}

void releaseKeptBlocks() {
#if defined(JCAMP_KEEPS_LARGE_BLOCKS)
  keptBlocks().releaseAll();
#endif
}

}  // namespace jcamp::platform
