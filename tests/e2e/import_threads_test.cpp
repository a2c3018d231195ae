// An import read on several threads gives what one thread gives: the same
// values, names and messages, in the same order, and a Cancel stops it at the
// same file.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/library_fixture.h"
#include "support/matrix_reader.h"

namespace {

void setThreads(const char* threads) {
#if defined(_WIN32)
  _putenv_s("JCAMP_THREADS", threads);
#else
  setenv("JCAMP_THREADS", threads, 1);
#endif
}

// What a host sees of one import.
struct Outcome {
  int32_t result = 0;
  std::vector<std::string> messages;
  ImportedMatrix matrix;
};

void expectSame(const Outcome& one, const Outcome& many) {
  EXPECT_EQ(one.result, many.result);
  EXPECT_EQ(one.messages, many.messages);
  EXPECT_EQ(one.matrix.samples, many.matrix.samples);
  EXPECT_EQ(one.matrix.variableNames, many.matrix.variableNames);
  EXPECT_EQ(one.matrix.sampleNames, many.matrix.sampleNames);
  EXPECT_EQ(one.matrix.values, many.matrix.values);
}

class ImportThreadsTest : public LibraryTest {
 protected:
  void TearDown() override {
    setThreads("");
    LibraryTest::TearDown();
  }

  Outcome importWith(const char* threads, const std::vector<std::string>& files, int cancelAt = -1,
                     int32_t mode = JCAMP_MODE_HOST_COMPATIBLE) {
    setThreads(threads);
    MessageBoxLog log;
    log.cancelAt = cancelAt;
    lib().setMessageBoxHandler(recordMessageBox, &log);
    const uint32_t handle = openHandle();
    EXPECT_EQ(lib().setReadingMode(handle, mode), JCAMP_OK);
    for (const std::string& file : files) lib().addFileName(handle, file.c_str());
    Outcome outcome;
    outcome.result = lib().importData(handle);
    if (outcome.result == JCAMP_OK) outcome.matrix = readMatrix(lib(), handle);
    outcome.messages = log.texts;
    lib().setMessageBoxHandler(recordMessageBox, &boxes_);
    return outcome;
  }

  // In both reading modes.
  void expectSameOnAllThreads(const std::vector<std::string>& files, int cancelAt = -1) {
    for (int32_t mode : {JCAMP_MODE_HOST_COMPATIBLE, JCAMP_MODE_STANDARD}) {
      SCOPED_TRACE(mode);
      expectSame(importWith("1", files, cancelAt, mode), importWith("8", files, cancelAt, mode));
    }
  }
};

// A copy of file whose first line is a comment: its header scans as before,
// but its data cannot be read (the first line is no title).
std::string unreadableCopy(const std::string& file, const std::string& dir, int index) {
  std::ifstream in(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return testpaths::writeFile(dir + "/unreadable" + std::to_string(index) + ".jdx",
                              "$$ not a title\n" + text);
}

TEST_F(ImportThreadsTest, CorpusFilesImportAlike) {
  SKIP_WITHOUT_CORPUS();
  for (const std::string& file : testpaths::corpusFiles()) {
    SCOPED_TRACE(file);
    expectSameOnAllThreads({file});
  }
}

TEST_F(ImportThreadsTest, GeneratedSetsImportAlike) {
  const std::vector<std::string> sets = testpaths::generatedSets();
  if (sets.empty()) GTEST_SKIP() << "no generated sets (the benchmark kit or Python is missing)";
  for (const std::string& set : sets) {
    SCOPED_TRACE(set);
    expectSameOnAllThreads(testpaths::filesIn(set));
  }
}

// Files that fail at import among readable ones: their messages come in file
// order, and a Cancel at any of them stops both imports alike.
TEST_F(ImportThreadsTest, MessagesAndCancelKeepTheFileOrder) {
  const std::vector<std::string> sets = testpaths::generatedSets();
  if (sets.empty()) GTEST_SKIP() << "no generated sets (the benchmark kit or Python is missing)";
  const std::string dir = testpaths::scratchDir();
  // The single-spectrum files of every set on the default grid (they share
  // one shape; "-g" marks the others), every seventh of them unreadable.
  std::vector<std::string> files;
  for (const std::string& set : sets) {
    if (set.find("-files") == std::string::npos || set.find("-g") != std::string::npos) continue;
    for (const std::string& file : testpaths::filesIn(set)) {
      const auto index = static_cast<int>(files.size());
      files.push_back(index % 7 == 3 ? unreadableCopy(file, dir, index) : file);
    }
  }
  ASSERT_FALSE(files.empty());
  for (int cancelAt : {-1, 0, 2}) {
    SCOPED_TRACE(cancelAt);
    expectSameOnAllThreads(files, cancelAt);
  }
  const Outcome cancelled = importWith("8", files, 2);
  EXPECT_EQ(cancelled.result, JCAMP_IMPORT_FAILED);
  EXPECT_EQ(cancelled.messages.size(), 3u);
}

}  // namespace
