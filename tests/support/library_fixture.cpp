#include "support/library_fixture.h"

JcampLibrary& sharedLibrary() {
  static JcampLibrary library;
  if (!library.loaded() && !library.load(testpaths::libraryPath())) {
    ADD_FAILURE() << library.error();
  }
  return library;
}

int32_t recordMessageBox(const char* text, uint32_t type, void* context) {
  auto* log = static_cast<MessageBoxLog*>(context);
  log->texts.emplace_back(text);
  log->lastText = text;
  log->lastType = type;
  return log->shown++ == log->cancelAt ? 2 : log->answer;
}

void LibraryTest::SetUp() {
  ASSERT_TRUE(lib().loaded());
  // Never let a real message box block a test.
  lib().setMessageBoxHandler(recordMessageBox, &boxes_);
}

void LibraryTest::TearDown() {
  if (!lib().loaded()) return;
  for (uint32_t handle : handles_) lib().closeHandleUDI(handle);
  lib().setMessageBoxHandler(nullptr, nullptr);
}

uint32_t LibraryTest::openHandle() {
  uint32_t handle = 0;
  EXPECT_EQ(lib().openHandleUDI(&handle), JCAMP_OK);
  handles_.push_back(handle);
  return handle;
}

int32_t LibraryTest::sampleCount(uint32_t handle) {
  int32_t count = -1;
  EXPECT_EQ(lib().getNumberOfSamples(handle, &count), JCAMP_OK);
  return count;
}

int32_t LibraryTest::variableCount(uint32_t handle) {
  int32_t count = -1;
  EXPECT_EQ(lib().getNumberOfVariables(handle, &count), JCAMP_OK);
  return count;
}

JcampSampleInfo LibraryTest::sampleInfo(uint32_t handle, int32_t sample) {
  JcampSampleInfo info{};
  info.size = sizeof info;
  EXPECT_EQ(lib().getSampleInfo(handle, sample, &info), JCAMP_OK) << "sample " << sample;
  return info;
}
