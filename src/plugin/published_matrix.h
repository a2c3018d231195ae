// What the value queries of a handle read: the last import's values, where
// each file's rows start, and the counts. Built by the importer and never
// changed afterwards, so that any thread may read it without a lock while
// the importer goes on; a change to the importer builds a new one.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/file_result.h"
#include "jcampimport.h"

namespace jcamp {

class PublishedMatrix {
 public:
  // fileStarts: the first sample of every file in the list, then the total.
  // results: one per file of the last import (fewer when files were added since).
  PublishedMatrix(bool imported, int32_t sampleCount, int32_t variableCount,
                  std::vector<int64_t> fileStarts,
                  std::shared_ptr<const std::vector<FileResult>> results);

  // The queries, with the exports' result codes.
  int32_t getData(int32_t sample, int32_t variable, char* buffer) const;
  int32_t getValues(int32_t sample, int32_t firstVariable, int32_t count, float* out) const;
  int32_t getSampleInfo(int32_t sample, JcampSampleInfo* info) const;

 private:
  // The result code of a query about a sample's variables, JCAMP_OK when it may go on.
  int32_t checkSampleQuery(int32_t sample, int32_t firstVariable, int64_t count) const;
  // The file a sample belongs to and its index there; false when no file holds it.
  bool locateSample(int32_t sample, size_t& file, int64_t& local) const;
  // The import's result of a sample's file when it holds the sample's row; else null.
  const FileResult* rowsOf(int32_t sample, int64_t& local) const;
  // The diagnostics of a sample: its file's and its row's.
  SampleDiagnostics diagnosticsOf(size_t file, int64_t local) const;

  const bool imported_;
  const int32_t sampleCount_;
  const int32_t variableCount_;
  const std::vector<int64_t> fileStarts_;
  const std::shared_ptr<const std::vector<FileResult>> results_;
  mutable std::atomic<size_t> lastFile_{0};  // where the last sample lookup ended: a hint
};

}  // namespace jcamp
