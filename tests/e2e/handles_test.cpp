// The handle registry seen through the exports, and unloaded with handles open.
#include <cstdio>
#include <string>
#include <vector>

#include "support/jdx_text.h"
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

// What a message-box handler saw when it called back into the library.
struct Reentry {
  JcampLibrary* lib = nullptr;
  uint32_t importing = 0;  // the handle whose import shows the box
  uint32_t other = 0;
  std::vector<int32_t> codes;
  int32_t otherImport = -1;
};

int32_t callBackIntoTheLibrary(const char*, uint32_t, void* context) {
  Reentry& probe = *static_cast<Reentry*>(context);
  JcampLibrary& lib = *probe.lib;
  probe.codes = callEveryExport(lib, probe.importing);
  probe.codes.push_back(lib.importDataUI(probe.importing));
  probe.codes.push_back(lib.setReadingMode(probe.importing, JCAMP_MODE_HOST_COMPATIBLE));
  probe.codes.push_back(lib.closeHandleUDI(probe.importing));
  probe.otherImport = lib.importData(probe.other);
  return 1;
}

// A call into a handle from inside that handle's own message box returns at
// once as busy, and changes nothing; other handles work from there.
TEST_F(HandlesTest, CallsFromInsideAHandlesOwnMessageBoxAreBusy) {
  const std::string dir = testpaths::scratchDir();
  const std::string text = jdxtext::spectrum("a", "1", "4", "1 1 2 3 4");
  const std::string good = testpaths::writeFile(dir + "/good.jdx", text);
  const std::string gone = testpaths::writeFile(dir + "/gone.jdx", text);
  Reentry probe;
  probe.lib = &lib();
  probe.importing = openHandle();
  probe.other = openHandle();
  for (const std::string& file : {good, gone}) {
    ASSERT_EQ(lib().addFileName(probe.importing, file.c_str()), JCAMP_OK);
  }
  ASSERT_EQ(lib().addFileName(probe.other, good.c_str()), JCAMP_OK);
  std::remove(gone.c_str());  // unreadable at import: the box asks whether to go on
  lib().setMessageBoxHandler(callBackIntoTheLibrary, &probe);
  EXPECT_EQ(lib().importData(probe.importing), JCAMP_OK);
  EXPECT_EQ(probe.codes, std::vector<int32_t>(12, JCAMP_BUSY));
  EXPECT_EQ(probe.otherImport, JCAMP_OK);
  EXPECT_EQ(sampleCount(probe.other), 1);
  EXPECT_EQ(sampleCount(probe.importing), 2);
  int32_t files = 0;
  EXPECT_EQ(lib().getNoOfFiles(probe.importing, &files), JCAMP_OK);
  EXPECT_EQ(files, 2);
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
