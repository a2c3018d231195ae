#include "plugin/file_reading.h"

#include <algorithm>

#include "labels/sample_warnings.h"
#include "plugin/file_messages.h"
#include "scan/jcamp_reader.h"

namespace jcamp {

std::unique_ptr<FileBytes> BytesShelf::take() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (!free_.empty()) {
      std::unique_ptr<FileBytes> bytes = std::move(free_.back());
      free_.pop_back();
      return bytes;
    }
  }
  return std::make_unique<FileBytes>();
}

void BytesShelf::put(std::unique_ptr<FileBytes> bytes) {
  bytes->close();
  std::lock_guard<std::mutex> hold(lock_);
  free_.push_back(std::move(bytes));
}

void BytesShelf::carry(const JcampFileInfo& entry, std::unique_ptr<FileBytes> bytes) {
  std::lock_guard<std::mutex> hold(lock_);
  carriedFor_ = &entry;
  carried_ = std::move(bytes);
}

std::unique_ptr<FileBytes> BytesShelf::takeFor(const JcampFileInfo& entry, bool& carried) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    carried = carried_ && carriedFor_ == &entry;
    if (carried) {
      carriedFor_ = nullptr;
      return std::move(carried_);
    }
  }
  return take();
}

FileReading readFileForImport(const JcampFileInfo& entry, const ImportReading& import,
                              VariableNaming naming, MatrixAxis* axis, bool shareAxis,
                              BytesShelf& shelf) {
  FileReading reading;
  try {
    MatrixAxis ownAxis;
    if (!shareAxis && axis != nullptr) ownAxis = *axis;
    reading.entry = std::make_unique<JcampFileInfo>(entry);
    JcampReader reader(import.rules, import.rowModel.firstSample(), reading.entry.get());
    bool carried = false;
    std::unique_ptr<FileBytes> bytes = shelf.takeFor(entry, carried);
    // One read of the file as it is now, unless the scan that added it read
    // all of it and it has not changed since. Without room for all of it the
    // scan reads it in pieces, and the build reports the lack of memory.
    const char* path = reading.entry->path.c_str();
    const bool whole = carried && bytes->reopenWhole(path);
    if (!whole && bytes->open(path)) bytes->loadAll();
    reader.readThrough(bytes.get(), JcampReader::Bytes::kOpened);
    // The file passed this scan when it was added; a failure now shows up as
    // the builder's message, and it or other counts mark the rows changed.
    // A file still as its last scan found it is not scanned again.
    const JcampFileInfo& scanned = *reading.entry;
    const bool asScanned = scanned.scannedStamp.known() && bytes->stamp() == scanned.scannedStamp;
    const bool scanPassed = asScanned || reader.scanHeader() == kStatusOk;
    const int32_t xCount = asScanned ? scanned.xCount : reader.nPoints;
    const int32_t yCount = asScanned ? scanned.yCount : reader.yCount;
    const bool unchanged = scanPassed && scanned.xCount == scanned.firstXCount &&
                           scanned.yCount == scanned.firstYCount &&
                           scanned.sampleCount == scanned.firstSampleCount;
    reading.fileWarnings = unchanged ? 0u : uint32_t{kWarnFileChanged};
    const FileSource source{scanned, bytes.get(), xCount, yCount};
    const int32_t columns =
        import.columns >= 0 ? import.columns : std::max(xCount, 0) + std::max(yCount, 0);
    const MatrixRequest request{columns, naming, shareAxis ? axis : &ownAxis, import.resampling,
                                import.xColumns};
    reading.result = readFileMatrix(source, import.rules, import.rowModel, request);
    reader.readThrough(nullptr);
    shelf.put(std::move(bytes));
  } catch (...) {
    reading.error = std::current_exception();
  }
  return reading;
}

std::vector<BlockAxis> readFileAxes(const JcampFileInfo& entry, BytesShelf& shelf) {
  try {
    std::unique_ptr<FileBytes> bytes = shelf.take();
    std::vector<BlockAxis> axes;
    if (bytes->open(entry.path.c_str()) && bytes->loadAll()) {
      axes = scanBlockAxes(bytes->text(), bytes->held());
    }
    shelf.put(std::move(bytes));
    return axes;
  } catch (...) {
    return {};
  }
}

// The dialog's trial read: each chosen file is read as the import will read
// it, so that one that cannot be read is reported now. Values and names are
// dropped; the first file's X grid is the one the others are held to.
void readAsTrial(const std::vector<std::unique_ptr<JcampFileInfo>>& files,
                 const ReadingRules& rules) {
  const RowModel& rowModel = RowModel::of(rules);
  MatrixAxis axis;
  for (const auto& entry : files) {
    const int32_t columns = std::max(entry->xCount, 0) + std::max(entry->yCount, 0);
    const FileSource source{*entry, nullptr, entry->xCount, entry->yCount};
    const MatrixRequest request{columns, VariableNaming::kSkip, &axis};
    const FileResult result = readFileMatrix(source, rules, rowModel, request);
    if (!result.read()) {
      goOnWithoutFile(entry->path, result.message);
    } else {
      goOnWithoutBlocks(entry->path, result.refusedBlocks);
    }
  }
}

}  // namespace jcamp
