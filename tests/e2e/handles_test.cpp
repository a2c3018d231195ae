// The handle registry seen through the exports, and unloaded with handles open.
#include <string>
#include <vector>

#include "support/library_fixture.h"

namespace {

using HandlesTest = LibraryTest;

// Every export that takes a handle, but importDataUI and closeHandleUDI,
// called with that handle; returns the codes.
std::vector<int32_t> callEveryExport(JcampLibrary& lib, uint32_t handle) {
  char buffer[256] = {};
  int32_t count = 0;
  return {lib.importData(handle),
          lib.addFileName(handle, "x.jdx"),
          lib.getNumberOfSamples(handle, &count),
          lib.getNumberOfVariables(handle, &count),
          lib.getVariableName(handle, 0, buffer),
          lib.getSampleName(handle, 0, buffer),
          lib.getData(handle, 0, 0, buffer),
          lib.getNoOfFiles(handle, &count),
          lib.getFileName(handle, 0, buffer)};
}

const std::vector<int32_t> kAllInvalid(9, JCAMP_INVALID_HANDLE);

TEST_F(HandlesTest, HandleZeroAndUnknownHandlesAreInvalidEverywhere) {
  for (uint32_t handle : {0u, 1u, 0xFFFFFFFFu}) {
    EXPECT_EQ(callEveryExport(lib(), handle), kAllInvalid) << handle;
    EXPECT_EQ(lib().importDataUI(handle), JCAMP_INVALID_HANDLE);
    EXPECT_EQ(lib().closeHandleUDI(handle), JCAMP_INVALID_HANDLE);
  }
}

// An open handle reaches its importer; a closed one is invalid and its number reused.
TEST_F(HandlesTest, ClosedHandlesAreInvalidAndTheirNumbersReused) {
  EXPECT_EQ(lib().openHandleUDI(nullptr), JCAMP_NO_OBJECT);
  for (uint32_t expected : {1u, 2u, 3u}) EXPECT_EQ(openHandle(), expected);
  EXPECT_EQ(callEveryExport(lib(), 2),
            (std::vector<int32_t>{JCAMP_NO_FILES, JCAMP_BAD_HEADER, JCAMP_NOT_READY,
                                  JCAMP_NOT_READY, JCAMP_NOT_READY, JCAMP_NOT_READY,
                                  JCAMP_NOT_READY, JCAMP_NOT_READY, JCAMP_NOT_READY}));
  EXPECT_EQ(lib().closeHandleUDI(2), JCAMP_OK);
  EXPECT_EQ(lib().closeHandleUDI(2), JCAMP_INVALID_HANDLE);
  EXPECT_EQ(callEveryExport(lib(), 2), kAllInvalid);
  EXPECT_EQ(openHandle(), 2u);
}

// Unloading the library deletes the importers a host left open. Under
// LeakSanitizer an importer that survived the unload is reported as a leak.
TEST(UnloadTest, OpenHandlesDoNotOutliveTheLibrary) {
  JcampLibrary library;
  ASSERT_TRUE(library.load(testpaths::libraryPath())) << library.error();
  uint32_t handle = 0;
  for (int i = 0; i < 3; ++i) ASSERT_EQ(library.openHandleUDI(&handle), JCAMP_OK);
  library.unload();
  EXPECT_FALSE(library.loaded());
}

}  // namespace
