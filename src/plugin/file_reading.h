// One file read for an import, on whichever thread the import gives it: the
// header scan and the document build share one read of the file's bytes, and
// nothing of the importer changes until the result is committed, in file order.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>

#include "document/matrix_builder.h"
#include "document/x_grid.h"
#include "labels/reading_rules.h"
#include "scan/file_bytes.h"
#include "scan/jcamp_file_info.h"
#include "scan/jcamp_reader.h"

namespace jcamp {

// Byte buffers lent to one file at a time, so that their room serves the
// files of an import one after another.
class BytesShelf {
 public:
  std::unique_ptr<FileBytes> take();
  void put(std::unique_ptr<FileBytes> bytes);

 private:
  std::mutex lock_;
  std::vector<std::unique_ptr<FileBytes>> free_;
};

struct FileReading {
  std::unique_ptr<JcampFileInfo> entry;  // a copy of the file's entry, refreshed by the scan
  std::unique_ptr<JcampReader> reader;   // its values and names, or its status and message
  int32_t rows = 0;                      // of the value block
  int32_t columns = 0;
  uint32_t fileWarnings = 0;  // kWarnFileChanged when the scan found another file than was added
  bool read = false;          // readMatrix succeeded
  std::exception_ptr error;   // what the reading threw, to be rethrown on the committing thread
};

// Scans the file of entry again and reads its values (rows from this scan,
// columns given) and names, its X and Y names only when naming says so, its
// blocks compared with grid (set by the first block when empty). Never throws:
// an exception is kept in the result.
FileReading readFileForImport(const JcampFileInfo& entry, const ReadingRules& rules,
                              int32_t columns, VariableNaming naming, XGrid* grid,
                              BytesShelf& shelf);

}  // namespace jcamp
