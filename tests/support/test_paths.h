// Where the tests find their files. Environment variables override the
// build-time defaults, so the same binaries run under Wine.
#pragma once

#include <string>
#include <vector>

namespace testpaths {

// tests/data: small JCAMP-DX files written for the tests (JCAMP_TEST_DATA).
std::string dataFile(const std::string& name);
// examples/: the bundled example files (JCAMP_EXAMPLES).
std::string exampleFile(const std::string& name);
// The public sample files, or empty when absent (JCAMP_CORPUS).
std::string corpusDir();
// Every file of the corpus, sorted; empty when the corpus is absent.
std::vector<std::string> corpusFiles();
// The sets scripts/generate-sets.sh wrote, one folder each with its
// truth.tsv, sorted; empty when they were not generated (JCAMP_GENERATED).
std::vector<std::string> generatedSets();
// The .jdx files of one folder, sorted.
std::vector<std::string> filesIn(const std::string& dir);
// The import library built beside the tests (JCAMP_LIBRARY).
std::string libraryPath();
// A fresh directory for files a test writes.
std::string scratchDir();
// Writes text to path byte for byte; returns path.
std::string writeFile(const std::string& path, const std::string& text);
// Writes each text to f0.jdx, f1.jdx, ... of a fresh directory; returns their paths.
std::vector<std::string> writeFiles(const std::vector<std::string>& texts);

}  // namespace testpaths

// Skips the current test, saying so, when the public sample files are absent.
#define SKIP_WITHOUT_CORPUS()                                                      \
  do {                                                                             \
    if (testpaths::corpusDir().empty())                                            \
      GTEST_SKIP() << "public JCAMP-DX sample files not found (set JCAMP_CORPUS)"; \
  } while (0)
