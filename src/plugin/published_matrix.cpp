#include "plugin/published_matrix.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

#include "labels/markers.h"
#include "plugin/value_text.h"

namespace jcamp {

PublishedMatrix::PublishedMatrix(bool imported, int32_t sampleCount, int32_t variableCount,
                                 std::vector<int64_t> fileStarts,
                                 std::shared_ptr<const std::vector<FileResult>> results)
    : imported_(imported),
      sampleCount_(sampleCount),
      variableCount_(variableCount),
      fileStarts_(std::move(fileStarts)),
      results_(std::move(results)) {}

int32_t PublishedMatrix::checkSampleQuery(int32_t sample, int32_t firstVariable,
                                          int64_t count) const {
  if (!imported_) return JCAMP_NOT_READY;
  if (sample < 0 || sample >= sampleCount_) return JCAMP_BAD_INDEX;
  if (firstVariable < 0 || count < 0 || firstVariable + count > variableCount_) {
    return JCAMP_BAD_INDEX;
  }
  return JCAMP_OK;
}

bool PublishedMatrix::locateSample(int32_t sample, size_t& file, int64_t& local) const {
  // The owning file is the first whose running sample total exceeds the index.
  const std::vector<int64_t>& starts = fileStarts_;
  // Hosts read sample after sample: most lookups land in the file of the last one.
  const size_t last = lastFile_.load(std::memory_order_relaxed);
  if (last + 1 < starts.size() && starts[last] <= sample && sample < starts[last + 1]) {
    file = last;
  } else {
    const auto after = std::upper_bound(starts.begin(), starts.end(), static_cast<int64_t>(sample));
    if (after == starts.begin() || after == starts.end()) return false;
    file = static_cast<size_t>(after - starts.begin()) - 1;
    lastFile_.store(file, std::memory_order_relaxed);
  }
  local = sample - starts[file];
  return true;
}

const FileResult* PublishedMatrix::rowsOf(int32_t sample, int64_t& local) const {
  size_t file = 0;
  if (!locateSample(sample, file, local) || results_ == nullptr || file >= results_->size()) {
    return nullptr;
  }
  const FileResult& result = (*results_)[file];
  // The values may be absent (the file was skipped) or fewer than the entry
  // says (the file list changed since the import): never read outside them.
  if (!result.values || local >= result.rows) return nullptr;
  return &result;
}

int32_t PublishedMatrix::getData(int32_t sample, int32_t variable, char* buffer) const {
  if (buffer == nullptr) return JCAMP_NULL_ARGUMENT;
  const int32_t check = checkSampleQuery(sample, variable, 1);
  if (check != JCAMP_OK) return check;
  int64_t local = 0;
  const FileResult* result = rowsOf(sample, local);
  float value = kMissingValue;
  if (result != nullptr && variable < result->columns) {
    value = result->values[static_cast<size_t>(local) * static_cast<size_t>(result->columns) +
                           static_cast<size_t>(variable)];
  }
  writeValueText(value, buffer);
  return JCAMP_OK;
}

int32_t PublishedMatrix::getValues(int32_t sample, int32_t firstVariable, int32_t count,
                                   float* out) const {
  if (out == nullptr) return JCAMP_NULL_ARGUMENT;
  const int32_t check = checkSampleQuery(sample, firstVariable, count);
  if (check != JCAMP_OK) return check;
  constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();
  int64_t local = 0;
  const FileResult* result = rowsOf(sample, local);
  // Variables the file holds, then the rest as missing.
  const int32_t held =
      result == nullptr ? 0 : std::clamp(result->columns - firstVariable, 0, count);
  if (held > 0) {
    const float* row =
        &result->values[static_cast<size_t>(local) * static_cast<size_t>(result->columns)];
    std::transform(row + firstVariable, row + firstVariable + held, out,
                   [](float value) { return isMissingValue(value) ? kNoValue : value; });
  }
  std::fill(out + held, out + count, kNoValue);
  return JCAMP_OK;
}

SampleDiagnostics PublishedMatrix::diagnosticsOf(size_t file, int64_t local) const {
  SampleDiagnostics diagnostics;
  diagnostics.block = static_cast<int32_t>(local);
  if (results_ == nullptr || file >= results_->size()) {
    diagnostics.note(0, kWarnNotRead, 0);  // added after the import
    return diagnostics;
  }
  const FileResult& result = (*results_)[file];
  if (local < static_cast<int64_t>(result.diagnostics.size())) {
    diagnostics = result.diagnostics[static_cast<size_t>(local)];
  }
  diagnostics.note(0, result.fileWarnings, 0);
  return diagnostics;
}

int32_t PublishedMatrix::getSampleInfo(int32_t sample, JcampSampleInfo* info) const {
  if (info == nullptr) return JCAMP_NULL_ARGUMENT;
  constexpr uint32_t kLeastSize = offsetof(JcampSampleInfo, checkFlags);
  if (info->size < kLeastSize) return JCAMP_BAD_ARGUMENT;
  const int32_t check = checkSampleQuery(sample, 0, 0);
  if (check != JCAMP_OK) return check;
  JcampSampleInfo filled{};
  filled.fileIndex = -1;
  filled.blockIndex = -1;
  filled.coverage = 1.0f;
  filled.page = -1;
  size_t file = 0;
  int64_t local = 0;
  if (locateSample(sample, file, local)) {
    const SampleDiagnostics diagnostics = diagnosticsOf(file, local);
    filled.fileIndex = static_cast<int32_t>(file);
    filled.blockIndex = diagnostics.block;
    filled.checkFlags = diagnostics.checkFlags;
    filled.warnings = diagnostics.warnings;
    filled.line = static_cast<int32_t>(diagnostics.line);
    filled.coverage = diagnostics.coverage;
    filled.page = diagnostics.page;
    if (results_ != nullptr && file < results_->size()) filled.leftOut = (*results_)[file].leftOut;
  }
  const uint32_t size = std::min<uint32_t>(info->size, sizeof(JcampSampleInfo));
  filled.size = size;
  std::memcpy(info, &filled, size);
  return JCAMP_OK;
}

}  // namespace jcamp
