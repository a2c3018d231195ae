#include "document/value_block.h"

#include <algorithm>
#include <cstddef>

namespace jcamp {

bool fitsFile(int64_t elements, int64_t fileLength) {
  const int64_t bytes = std::max<int64_t>(fileLength, 0);
  return elements <= std::max(kElementsAlwaysGranted, bytes * kElementsPerFileByte);
}

ValueBlock allocateValues(int32_t rows, int32_t columns, int64_t fileLength) {
  if (rows <= 0 || columns <= 0) return nullptr;
  const int64_t elements = int64_t{rows} * columns;
  constexpr auto kAddressable = static_cast<uint64_t>(PTRDIFF_MAX) / sizeof(float);
  if (elements > kMostBlockElements || static_cast<uint64_t>(elements) > kAddressable) {
    return nullptr;
  }
  if (!fitsFile(elements, fileLength)) return nullptr;
  return platform::allocateLargeArray<float>(static_cast<size_t>(elements));
}

}  // namespace jcamp
