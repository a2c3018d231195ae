#include "plugin/jcamp_importer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <exception>
#include <limits>
#include <new>

#include "document/matrix_builder.h"
#include "document/overlap_grid.h"
#include "labels/markers.h"
#include "platform/worker_pool.h"
#include "plugin/file_messages.h"
#include "plugin/file_reading.h"
#include "plugin/value_text.h"
#include "scan/jcamp_reader.h"
#include "ui/run_import_dialog.h"

namespace jcamp {
namespace {

// The longest file whose bytes a scan keeps for the import that follows.
constexpr int64_t kKeptScanLength = FileBytes::kDefaultViewResident;

void copyOut(const std::string& text, char* buffer) {
  std::memcpy(buffer, text.c_str(), text.size() + 1);
}

int32_t copyName(const std::vector<std::string>& names, int32_t index, int32_t limit,
                 char* buffer) {
  if (index < 0 || index >= limit || static_cast<size_t>(index) >= names.size()) {
    return JCAMP_BAD_INDEX;
  }
  if (names.empty()) return JCAMP_NAMES_EMPTY;
  copyOut(names[static_cast<size_t>(index)], buffer);
  return JCAMP_OK;
}

}  // namespace

int32_t JcampImporter::importDataUI() {
  rulesLocked_ = true;
  scannedWhole_ = nullptr;
  published_.reset();
  sampleCount_ = 0;
  xCount_ = 0;
  yCount_ = 0;
  std::vector<std::unique_ptr<JcampFileInfo>> chosen;
  const auto trialRead = [this](const std::vector<std::unique_ptr<JcampFileInfo>>& files) {
    readAsTrial(files, rules_);
  };
  if (!ui::runImportDialog(rules_, trialRead, chosen)) return JCAMP_NOT_READY;
  sampleNames_.clear();
  variableNames_.clear();
  if (!chosen.empty()) {
    xCount_ = chosen.front()->xCount;
    yCount_ = chosen.front()->yCount;
  }
  int64_t samples = 0;
  for (const auto& entry : chosen) samples += std::max(entry->sampleCount, 0);
  sampleCount_ = static_cast<int32_t>(std::min<int64_t>(samples, INT32_MAX));
  files_ = std::move(chosen);
  published_.reset();
  DataImporter& self = *this;
  return self.importData();
}

int32_t JcampImporter::importData() {
  if (files_.empty()) return JCAMP_NO_FILES;
  sampleNames_.clear();
  variableNames_.clear();
  published_.reset();
  // Values still published stay with their readers; this import fills its own.
  results_ = std::make_shared<std::vector<FileResult>>(files_.size());
  matrixAxis_ = MatrixAxis();
  // Files are read on every thread the pool has and committed here, in file
  // order: names, values and messages come out as one thread would make them.
  // Each file is compared with the X axis of the matrix's first block (or the
  // grid asked for), so the files are read one by one until one has settled it.
  std::vector<FileReading> readings(files_.size());
  const bool resampling = grid_.resampling();
  ImportReading import{rules_, *rowModel_, variableCount(), -1, resampling};
  BytesShelf shelf;
  if (scannedWhole_ != nullptr) shelf.carry(*scannedWhole_, std::move(scanBytes_));
  scannedWhole_ = nullptr;
  std::exception_ptr error;
  size_t committed = 0;
  bool finished = true;
  {
    platform::WorkerPool pool(platform::WorkerPool::threadsWanted());
    if (resampling) setTargetAxis(pool, shelf);
    auto readFiles = [&](size_t first, size_t count, bool shareAxis) {
      return pool.forEachInOrder(
          count,
          [&, first, shareAxis](size_t n) {
            const size_t i = first + n;
            const VariableNaming naming = i == 0 ? VariableNaming::kName : VariableNaming::kSkip;
            // An axis already set is only read: each file compares with its own copy.
            readings[i] =
                readFileForImport(*files_[i], import, naming, &matrixAxis_, shareAxis, shelf);
          },
          [&, first](size_t n) {
            try {
              committed = first + n;
              return commitReading(first + n, readings[first + n]);
            } catch (...) {
              error = std::current_exception();
              return false;
            }
          });
    };
    size_t next = 0;
    while (finished && next < files_.size() && !matrixAxis_.settled(resampling)) {
      fitColumns(import);
      finished = readFiles(next++, 1, true);
    }
    fitColumns(import);
    if (finished && next < files_.size()) finished = readFiles(next, files_.size() - next, false);
  }
  // Whatever was published during the import (nothing is) goes with it.
  published_.reset();
  if (error) std::rethrow_exception(error);
  if (!finished) {
    results_->resize(committed);
    return JCAMP_IMPORT_FAILED;
  }
  if (!rowModel_->rowsFromHeader()) {
    // The rows are those the files' readings made.
    const int64_t total = fileStarts().back();
    sampleCount_ = static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
  }
  imported_ = true;
  return JCAMP_OK;
}

void JcampImporter::setTargetAxis(platform::WorkerPool& pool, BytesShelf& shelf) {
  if (grid_.policy == JCAMP_GRID_EXPLICIT) {
    matrixAxis_.grid = XGrid::even(grid_.first, grid_.last, static_cast<uint32_t>(grid_.count));
    if (!grid_.units.empty()) matrixAxis_.xUnits = xUnitsOf(grid_.units.c_str());
  } else if (grid_.policy == JCAMP_GRID_OVERLAP) {
    // Every file's labels first: the range they all cover decides the grid.
    std::vector<std::vector<BlockAxis>> axes(files_.size());
    pool.forEach(files_.size(), [&](size_t i) { axes[i] = readFileAxes(*files_[i], shelf); });
    matrixAxis_ = overlapAxis(axes);
  }
}

void JcampImporter::fitColumns(ImportReading& import) {
  if (!grid_.resampling()) return;
  if (matrixAxis_.grid.empty()) {
    // The first policy before its first row: each file as it is.
    import.columns = -1;
    import.xColumns = -1;
    return;
  }
  xCount_ = static_cast<int32_t>(matrixAxis_.grid.size());
  import.columns = variableCount();
  import.xColumns = xCount_;
  // Made once here rather than by every file that resamples a row.
  if (!matrixAxis_.points) {
    matrixAxis_.points = std::make_shared<const GridPoints>(GridPoints::of(matrixAxis_.grid));
  }
}

int32_t JcampImporter::rowsOf(const JcampFileInfo& entry, const FileResult& result) const {
  if (rowModel_->rowsFromHeader()) return std::max(entry.sampleCount, 0);
  return result.read() ? result.rows : 0;
}

// commitRead, with an allocation that fails anywhere on the way (reading the
// file or taking its results) turned into the file's "not enough memory"
// message: what the file added goes, and the user is asked as for an
// unreadable file. False when the user stopped.
bool JcampImporter::commitReading(size_t i, FileReading& reading) {
  const size_t namedSamples = sampleNames_.size();
  try {
    if (reading.error) std::rethrow_exception(reading.error);
    return commitRead(i, reading);
  } catch (const std::bad_alloc&) {
    reading = FileReading{};
    sampleNames_.resize(namedSamples);
    if (i == 0) variableNames_.clear();
    FileResult& result = (*results_)[i];
    result.values.reset();
    result.status = kStatusNoMemory;
    result.fileWarnings |= kWarnNotRead;
    result.rows = rowsOf(*files_[i], result);
    files_[i]->importedRows = result.rows;
    return goOnWithoutFile(files_[i]->path, statusText(kStatusNoMemory));
  }
}

bool JcampImporter::commitRead(size_t i, FileReading& reading) {
  files_[i] = std::move(reading.entry);
  JcampFileInfo& entry = *files_[i];
  FileResult& result = (*results_)[i];
  result = std::move(reading.result);
  result.fileWarnings |= reading.fileWarnings;
  reading = FileReading{};
  result.rows = rowsOf(entry, result);
  entry.importedRows = result.rows;
  if (!result.read()) {
    result.fileWarnings |= kWarnNotRead;
    if (!goOnWithoutFile(entry.path, result.message)) return false;
  } else if (!goOnWithoutBlocks(entry.path, result.refusedBlocks)) {
    return false;
  }
  sampleNames_.insert(sampleNames_.end(), std::make_move_iterator(result.sampleNames.begin()),
                      std::make_move_iterator(result.sampleNames.end()));
  if (i == 0) {
    variableNames_ = std::move(result.xNames);
    variableNames_.insert(variableNames_.end(), result.yNames.begin(), result.yNames.end());
  }
  result.sampleNames.clear();
  result.xNames.clear();
  result.yNames.clear();
  result.refusedBlocks.clear();
  return true;
}

int32_t JcampImporter::addFileName(const char* fileName) {
  if (fileName == nullptr) return JCAMP_NULL_ARGUMENT;
  rulesLocked_ = true;
  auto entry = std::make_unique<JcampFileInfo>(fileName);
  JcampReader reader(rules_, rowModel_->firstSample(), entry.get());
  // A scan that reads all of a file not too long to keep leaves it for the import.
  if (!scanBytes_) {
    scanBytes_ = std::make_unique<FileBytes>(JcampReader::kScanResident, kKeptScanLength);
  }
  scannedWhole_ = nullptr;
  reader.readThrough(scanBytes_.get());
  const int32_t scan = reader.scanHeader();
  reader.readThrough(nullptr);
  // Between adds only the whole bytes of the file just added stay, in room that fits them.
  const bool whole = scan == kStatusOk && scanBytes_->holdsWholeFile() &&
                     scanBytes_->room() <= 2 * scanBytes_->held() + JcampReader::kScanResident;
  const JcampFileInfo* scanned = whole ? entry.get() : nullptr;
  if (!whole) scanBytes_.reset();
  if (scan != kStatusOk) return JCAMP_BAD_HEADER;
  if (!firstFileAdded_) {
    // The first file fixes the shape of the whole import.
    xCount_ = reader.nPoints;
    yCount_ = reader.yCount;
    sampleCount_ = reader.sampleCount;
    files_.insert(files_.begin(), std::move(entry));
    scannedWhole_ = scanned;
    published_.reset();
    firstFileAdded_ = true;
    return JCAMP_OK;
  }
  // Under a grid policy another number of X points is resampled, not refused.
  const bool otherX = reader.nPoints != xCount_ && !grid_.resampling();
  const auto refuse = [this](int32_t result) {
    scanBytes_.reset();
    return result;
  };
  if (otherX || reader.yCount != yCount_) return refuse(JCAMP_SHAPE_MISMATCH);
  // Sample indexes are 32-bit: a file that would push the total past them cannot join.
  if (reader.sampleCount > std::numeric_limits<int32_t>::max() - sampleCount_) {
    return refuse(JCAMP_BAD_HEADER);
  }
  sampleCount_ += reader.sampleCount;
  files_.push_back(std::move(entry));
  scannedWhole_ = scanned;
  published_.reset();
  return JCAMP_OK;
}

int32_t JcampImporter::getNumberOfSamples(int32_t* count) {
  if (!imported_) return JCAMP_NOT_READY;
  if (count == nullptr) return JCAMP_NULL_ARGUMENT;
  *count = sampleCount_;
  return JCAMP_OK;
}

int32_t JcampImporter::getNumberOfVariables(int32_t* count) {
  if (!imported_) return JCAMP_NOT_READY;
  if (count == nullptr) return JCAMP_NULL_ARGUMENT;
  *count = variableCount();
  return JCAMP_OK;
}

int32_t JcampImporter::getVariableName(int32_t index, char* buffer) {
  if (buffer == nullptr) return JCAMP_NULL_ARGUMENT;
  if (!imported_) return JCAMP_NOT_READY;
  return copyName(variableNames_, index, variableCount(), buffer);
}

int32_t JcampImporter::getSampleName(int32_t index, char* buffer) {
  if (buffer == nullptr) return JCAMP_NULL_ARGUMENT;
  if (!imported_) return JCAMP_NOT_READY;
  return copyName(sampleNames_, index, sampleCount_, buffer);
}

int32_t JcampImporter::getData(int32_t sample, int32_t variable, char* buffer) {
  return published()->getData(sample, variable, buffer);
}

std::vector<int64_t> JcampImporter::fileStarts() const {
  std::vector<int64_t> starts;
  starts.reserve(files_.size() + 1);
  int64_t total = 0;
  for (const auto& entry : files_) {
    starts.push_back(total);
    total +=
        std::max<int32_t>(entry->importedRows >= 0 ? entry->importedRows : entry->sampleCount, 0);
  }
  starts.push_back(total);
  return starts;
}

std::shared_ptr<const PublishedMatrix> JcampImporter::published() {
  if (!published_) {
    published_ = std::make_shared<const PublishedMatrix>(imported_, sampleCount_, variableCount(),
                                                         fileStarts(), results_);
  }
  return published_;
}

int32_t JcampImporter::getNoOfFiles(int32_t* count) {
  if (files_.empty()) return JCAMP_NOT_READY;
  if (count == nullptr) return JCAMP_NULL_ARGUMENT;
  *count = static_cast<int32_t>(files_.size());
  return JCAMP_OK;
}

int32_t JcampImporter::getFileName(int32_t index, char* buffer) {
  if (buffer == nullptr) return JCAMP_NULL_ARGUMENT;
  buffer[0] = '\0';
  if (files_.empty()) return JCAMP_NOT_READY;
  if (index < 0 || static_cast<size_t>(index) >= files_.size()) return JCAMP_BAD_INDEX;
  const JcampFileInfo* entry = files_[static_cast<size_t>(index)].get();
  if (entry == nullptr) return JCAMP_IMPORT_FAILED;
  copyOut(entry->path, buffer);
  return JCAMP_OK;
}

int32_t JcampImporter::setReadingMode(int32_t mode) {
  if (rulesLocked_) return JCAMP_MODE_LOCKED;
  ReadingRules rules;
  if (!rulesForMode(mode, rules)) return JCAMP_BAD_ARGUMENT;
  // A grid needs the standard mode's rows.
  if (grid_.resampling() && mode != kModeStandard) return JCAMP_BAD_ARGUMENT;
  rules_ = rules;
  rowModel_ = &RowModel::of(rules_);
  return JCAMP_OK;
}

// Resampling places rows as the standard mode does (one per block with a
// table, named by its own labels, reversed X put in order); the host-compatible
// mode's rows stay as hosts know them.
int32_t JcampImporter::setGrid(const JcampGrid* grid) {
  if (rulesLocked_) return JCAMP_MODE_LOCKED;
  GridRequest request;
  const int32_t result = readGridRequest(grid, request);
  if (result != JCAMP_OK) return result;
  if (request.resampling() && !rules_.rowsForBlocks) return JCAMP_BAD_ARGUMENT;
  grid_ = request;
  return JCAMP_OK;
}

int32_t JcampImporter::getValues(int32_t sample, int32_t firstVariable, int32_t count, float* out) {
  return published()->getValues(sample, firstVariable, count, out);
}

int32_t JcampImporter::getSampleInfo(int32_t sample, JcampSampleInfo* info) {
  return published()->getSampleInfo(sample, info);
}

}  // namespace jcamp
