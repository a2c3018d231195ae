#include "plugin/file_reading.h"

#include <algorithm>

#include "labels/sample_warnings.h"

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

FileReading readFileForImport(const JcampFileInfo& entry, const ReadingRules& rules,
                              int32_t columns, VariableNaming naming, XGrid* grid,
                              BytesShelf& shelf) {
  FileReading reading;
  try {
    reading.entry = std::make_unique<JcampFileInfo>(entry);
    reading.reader = std::make_unique<JcampReader>(reading.entry.get());
    JcampReader& reader = *reading.reader;
    reader.rules = rules;
    std::unique_ptr<FileBytes> bytes = shelf.take();
    // One read of the file as it is now. Without room for all of it the scan
    // reads it in pieces, and the build reports the lack of memory.
    if (bytes->open(reading.entry->path.c_str())) bytes->loadAll();
    reader.readThrough(bytes.get(), JcampReader::Bytes::kOpened);
    // The file passed this scan when it was added; a failure now shows up as
    // the builder's message, and it or other counts mark the rows changed.
    const JcampFileInfo& scanned = *reading.entry;
    const bool unchanged =
        reader.scanHeader() == kReaderOk && scanned.xCount == scanned.firstXCount &&
        scanned.yCount == scanned.firstYCount && scanned.sampleCount == scanned.firstSampleCount;
    reading.fileWarnings = unchanged ? 0u : uint32_t{kWarnFileChanged};
    // Rows follow the entry, which a successful scan has just refreshed: the
    // value lookup walks the entries, so the two always agree.
    reading.rows = std::max<int32_t>(reading.entry->sampleCount, 0);
    reading.columns = columns;
    reader.allocValueBlock(reading.rows, reading.columns);
    reader.blockRows = reading.rows;
    reader.blockColumns = reading.columns;
    reading.read = readMatrix(reader, *reading.entry, naming, grid) != 0;
    reader.readThrough(nullptr);
    shelf.put(std::move(bytes));
  } catch (...) {
    reading.error = std::current_exception();
  }
  return reading;
}

}  // namespace jcamp
