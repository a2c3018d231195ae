#include "plugin/jcamp_importer.h"

#include <cstring>
#include <limits>

#include "labels/markers.h"
#include "scan/jcamp_reader.h"
#include "scan/variable_names.h"

namespace jcamp {
namespace {

constexpr int32_t kDataDecimals = 6;
constexpr char kMissingText[] = "m";

void copyOut(const std::string& text, char* buffer) {
  std::memcpy(buffer, text.c_str(), text.size() + 1);
}

int32_t copyName(const std::vector<std::string>& names, int32_t index, int32_t limit,
                 char* buffer) {
  if (index < 0 || index >= limit || static_cast<size_t>(index) >= names.size()) {
    return kResultBadIndex;
  }
  if (names.empty()) return kResultNamesEmpty;
  copyOut(names[static_cast<size_t>(index)], buffer);
  return kResultOk;
}

}  // namespace

int32_t JcampImporter::importDataUI() {
  return kResultNotReady;
}

int32_t JcampImporter::importData() {
  if (files_.empty()) return kResultNoFiles;
  return kResultImportFailed;
}

int32_t JcampImporter::addFileName(const char* fileName) {
  if (fileName == nullptr) return kResultNullArgument;
  auto entry = std::make_unique<JcampFileInfo>(fileName);
  JcampReader reader(entry.get());
  if (reader.scanHeader() != kReaderOk) return kResultBadHeader;
  if (!firstFileAdded_) {
    // The first file fixes the shape of the whole import.
    xCount_ = reader.nPoints;
    yCount_ = reader.yCount;
    sampleCount_ = reader.sampleCount;
    files_.insert(files_.begin(), std::move(entry));
    firstFileAdded_ = true;
    return kResultOk;
  }
  if (reader.nPoints != xCount_ || reader.yCount != yCount_) return kResultShapeMismatch;
  // Sample indexes are 32-bit: a file that would push the total past them cannot join.
  if (reader.sampleCount > std::numeric_limits<int32_t>::max() - sampleCount_) {
    return kResultBadHeader;
  }
  sampleCount_ += reader.sampleCount;
  files_.push_back(std::move(entry));
  return kResultOk;
}

int32_t JcampImporter::getNumberOfSamples(int32_t* count) {
  if (!imported_) return kResultNotReady;
  if (count == nullptr) return kResultNullArgument;
  *count = sampleCount_;
  return kResultOk;
}

int32_t JcampImporter::getNumberOfVariables(int32_t* count) {
  if (!imported_) return kResultNotReady;
  if (count == nullptr) return kResultNullArgument;
  *count = variableCount();
  return kResultOk;
}

int32_t JcampImporter::getVariableName(int32_t index, char* buffer) {
  if (buffer == nullptr) return kResultNullArgument;
  if (!imported_) return kResultNotReady;
  return copyName(variableNames_, index, variableCount(), buffer);
}

int32_t JcampImporter::getSampleName(int32_t index, char* buffer) {
  if (buffer == nullptr) return kResultNullArgument;
  if (!imported_) return kResultNotReady;
  return copyName(sampleNames_, index, sampleCount_, buffer);
}

int32_t JcampImporter::getData(int32_t sample, int32_t variable, char* buffer) {
  if (buffer == nullptr) return kResultNullArgument;
  if (!imported_) return kResultNotReady;
  if (sample < 0 || sample >= sampleCount_) return kResultBadIndex;
  if (variable < 0 || variable >= variableCount()) return kResultBadIndex;
  const float* value = findValue(sample, variable);
  if (value == nullptr || isMissingValue(*value)) {
    copyOut(kMissingText, buffer);
  } else {
    copyOut(formatFixed(static_cast<double>(*value), kDataDecimals), buffer);
  }
  return kResultOk;
}

const float* JcampImporter::findValue(int32_t sample, int32_t variable) const {
  int64_t before = 0;
  for (size_t file = 0; file < files_.size(); ++file) {
    const int64_t fileSamples = files_[file]->sampleCount;
    if (sample < before + fileSamples) {
      if (file >= valueBlocks_.size()) return nullptr;
      const ValueBlock& block = valueBlocks_[file];
      const int64_t local = sample - before;
      // The block may be absent (the file was skipped) or smaller than the
      // entry says (the file changed on disk): never read outside it.
      if (!block.values || local >= block.rows || variable >= block.columns) return nullptr;
      return &block.values[static_cast<size_t>(variable) * block.rows + local];
    }
    before += fileSamples;
  }
  return nullptr;
}

int32_t JcampImporter::getNoOfFiles(int32_t* count) {
  if (files_.empty()) return kResultNotReady;
  if (count == nullptr) return kResultNullArgument;
  *count = static_cast<int32_t>(files_.size());
  return kResultOk;
}

int32_t JcampImporter::getFileName(int32_t index, char* buffer) {
  if (buffer == nullptr) return kResultNullArgument;
  buffer[0] = '\0';
  if (files_.empty()) return kResultNotReady;
  if (index < 0 || static_cast<size_t>(index) >= files_.size()) return kResultBadIndex;
  const JcampFileInfo* entry = files_[static_cast<size_t>(index)].get();
  if (entry == nullptr) return kResultImportFailed;
  copyOut(entry->path, buffer);
  return kResultOk;
}

}  // namespace jcamp
