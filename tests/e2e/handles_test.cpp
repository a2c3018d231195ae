// The handle registry and the empty importer, seen through the exports.
#include <string>
#include <vector>

#include "support/library_fixture.h"

namespace {

using HandlesTest = LibraryTest;

// Every export that takes a handle, called with that handle; returns the codes.
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
          lib.getFileName(handle, 0, buffer),
          lib.importDataUI(handle),
          lib.closeHandleUDI(handle)};
}

TEST_F(HandlesTest, HandleZeroAndUnknownHandlesAreInvalidEverywhere) {
  for (uint32_t handle : {0u, 1u, 49u, 150u, 0xFFFFFFFFu}) {
    for (int32_t code : callEveryExport(lib(), handle)) EXPECT_EQ(code, JCAMP_INVALID_HANDLE);
  }
}

TEST_F(HandlesTest, HandlesCountUpThroughTheGrowthAndReuseTheLowestFreed) {
  std::vector<uint32_t> handles;
  for (uint32_t expected = 1; expected <= 60; ++expected) {
    uint32_t handle = 0;
    ASSERT_EQ(lib().openHandleUDI(&handle), JCAMP_OK);
    EXPECT_EQ(handle, expected);
    handles.push_back(handle);
  }
  EXPECT_EQ(lib().closeHandleUDI(7), JCAMP_OK);
  EXPECT_EQ(lib().closeHandleUDI(3), JCAMP_OK);
  EXPECT_EQ(lib().closeHandleUDI(3), JCAMP_INVALID_HANDLE);
  for (int32_t code : callEveryExport(lib(), 7)) EXPECT_EQ(code, JCAMP_INVALID_HANDLE);
  uint32_t reused = 0;
  ASSERT_EQ(lib().openHandleUDI(&reused), JCAMP_OK);
  EXPECT_EQ(reused, 3u);
  for (uint32_t handle : handles) {
    if (handle == 7) continue;
    EXPECT_EQ(lib().closeHandleUDI(handle), JCAMP_OK) << handle;
  }
}

TEST_F(HandlesTest, OpenWithoutAPlaceForTheHandleFails) {
  EXPECT_EQ(lib().openHandleUDI(nullptr), JCAMP_NO_OBJECT);
}

TEST_F(HandlesTest, EmptyImporterHasNothingToReport) {
  const uint32_t handle = openHandle();
  char buffer[256] = "unchanged";
  int32_t count = -1;
  EXPECT_EQ(lib().getNumberOfSamples(handle, &count), JCAMP_NOT_READY);
  EXPECT_EQ(lib().getNumberOfVariables(handle, &count), JCAMP_NOT_READY);
  EXPECT_EQ(lib().getNoOfFiles(handle, &count), JCAMP_NOT_READY);
  EXPECT_EQ(count, -1);
  EXPECT_EQ(lib().getVariableName(handle, 0, buffer), JCAMP_NOT_READY);
  EXPECT_EQ(lib().getSampleName(handle, 0, buffer), JCAMP_NOT_READY);
  EXPECT_EQ(lib().getData(handle, 0, 0, buffer), JCAMP_NOT_READY);
  EXPECT_STREQ(buffer, "unchanged");
  EXPECT_EQ(lib().getFileName(handle, 0, buffer), JCAMP_NOT_READY);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(lib().getData(handle, 0, 0, nullptr), JCAMP_NULL_ARGUMENT);
  EXPECT_EQ(lib().getFileName(handle, 0, nullptr), JCAMP_NULL_ARGUMENT);
  EXPECT_EQ(lib().addFileName(handle, nullptr), JCAMP_NULL_ARGUMENT);
  EXPECT_EQ(lib().importData(handle), JCAMP_NO_FILES);
}

TEST_F(HandlesTest, AMissingFileIsRefused) {
  const uint32_t handle = openHandle();
  EXPECT_EQ(lib().addFileName(handle, testpaths::dataFile("no-such-file.jdx").c_str()),
            JCAMP_BAD_HEADER);
  int32_t count = 0;
  EXPECT_EQ(lib().getNoOfFiles(handle, &count), JCAMP_NOT_READY);
}

}  // namespace
