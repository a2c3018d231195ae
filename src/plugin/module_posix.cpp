// Library unload on POSIX: delete every importer the host left open.
#include "platform/large_blocks.h"
#include "plugin/handle_table.h"

namespace {

__attribute__((destructor)) void unloadModule() {
  jcamp::destroyAllHandles();
  jcamp::platform::releaseKeptBlocks();
}

}  // namespace
