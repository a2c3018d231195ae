// Unloading the library deletes the importers a host left open. Under
// LeakSanitizer an importer that survived the unload is reported as a leak.
#include <gtest/gtest.h>

#include "jcamp_library.h"
#include "support/test_paths.h"

namespace {

TEST(UnloadTest, OpenHandlesDoNotOutliveTheLibrary) {
  JcampLibrary library;
  ASSERT_TRUE(library.load(testpaths::libraryPath())) << library.error();
  uint32_t handle = 0;
  for (int i = 0; i < 3; ++i) ASSERT_EQ(library.openHandleUDI(&handle), JCAMP_OK);
  library.unload();
  EXPECT_FALSE(library.loaded());
}

}  // namespace
