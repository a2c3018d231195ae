// Loads the built import library once per test program, as a host does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jcamp_library.h"
#include "support/test_paths.h"

JcampLibrary& sharedLibrary();

// Records every message box the library shows and answers it: with answer,
// but Cancel (2) for the box at cancelAt (counted from 0).
struct MessageBoxLog {
  int32_t answer = 1;
  int cancelAt = -1;
  int shown = 0;
  std::string lastText;
  uint32_t lastType = 0;
  std::vector<std::string> texts;
};
int32_t recordMessageBox(const char* text, uint32_t type, void* context);

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens a handle that TearDown closes.
  uint32_t openHandle();
  // What an imported handle answers; a failing call fails the test.
  int32_t sampleCount(uint32_t handle);
  int32_t variableCount(uint32_t handle);
  JcampSampleInfo sampleInfo(uint32_t handle, int32_t sample);

  JcampLibrary& lib() { return sharedLibrary(); }
  MessageBoxLog boxes_;

 private:
  std::vector<uint32_t> handles_;
};
