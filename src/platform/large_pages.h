// Large buffers that are written once from start to end (a file's bytes, a
// value block) fault in far fewer pages where the system backs them with
// large pages.
#pragma once

#include <cstddef>

namespace jcamp::platform {

// Asks the system to back the untouched memory [data, data + bytes) with large
// pages where it can; harmless (and nothing) where it cannot.
void preferLargePages(void* data, size_t bytes);

}  // namespace jcamp::platform
