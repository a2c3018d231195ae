#include "platform/large_pages.h"

namespace jcamp::platform {

// Large pages on Windows need a privilege that ordinary users lack: nothing to ask.
void preferLargePages(void* /*data*/, size_t /*bytes*/) {}

}  // namespace jcamp::platform
