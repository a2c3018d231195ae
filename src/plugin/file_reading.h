// One file read for an import, on whichever thread the import gives it: the
// header scan and the document build share one read of the file's bytes, and
// nothing of the importer changes until the result is committed, in file order.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>

#include "document/file_result.h"
#include "document/matrix_axis.h"
#include "document/matrix_builder.h"
#include "document/row_model.h"
#include "labels/reading_rules.h"
#include "scan/block_axes.h"
#include "scan/file_bytes.h"
#include "scan/jcamp_file_info.h"

namespace jcamp {

// Byte buffers lent to one file at a time, so that their room serves the
// files of an import one after another.
class BytesShelf {
 public:
  std::unique_ptr<FileBytes> take();
  void put(std::unique_ptr<FileBytes> bytes);
  // Bytes that hold the whole file of entry as its scan read it, for that
  // file's reading only.
  void carry(const JcampFileInfo& entry, std::unique_ptr<FileBytes> bytes);
  // The bytes carried for entry (carried is then true), else take()'s.
  std::unique_ptr<FileBytes> takeFor(const JcampFileInfo& entry, bool& carried);

 private:
  std::mutex lock_;
  std::vector<std::unique_ptr<FileBytes>> free_;
  const JcampFileInfo* carriedFor_ = nullptr;
  std::unique_ptr<FileBytes> carried_;
};

struct FileReading {
  std::unique_ptr<JcampFileInfo> entry;  // a copy of the file's entry, refreshed by the scan
  FileResult result;                     // its values and names, or its status and message
  uint32_t fileWarnings = 0;  // kWarnFileChanged when the scan found another file than was added
  std::exception_ptr error;   // what the reading threw, to be rethrown on the committing thread
};

// How the files of one import are read.
struct ImportReading {
  const ReadingRules& rules;
  const RowModel& rowModel;
  int32_t columns = 0;      // the import's X and Y variables; -1: each file's own
  int32_t xColumns = -1;    // of them X; -1: as many as the file's ##NPOINTS=
  bool resampling = false;  // a grid policy is set
};

// Scans the file of entry again and reads its values and names, its X and Y
// names only when naming says so, its blocks compared with axis (whose grid
// the first row's block sets when empty; when not shared, each file compares
// with its own copy). Never throws: an exception is kept in the result.
FileReading readFileForImport(const JcampFileInfo& entry, const ImportReading& import,
                              VariableNaming naming, MatrixAxis* axis, bool shareAxis,
                              BytesShelf& shelf);

// The X axes of the file's blocks as their labels state them (none when it
// cannot be read), for the overlap policy. Never throws.
std::vector<BlockAxis> readFileAxes(const JcampFileInfo& entry, BytesShelf& shelf);

// The dialog's trial read: each chosen file is read as the import will read
// it, so that one that cannot be read is reported (in the import's message
// box) while the dialog is still up.
void readAsTrial(const std::vector<std::unique_ptr<JcampFileInfo>>& files,
                 const ReadingRules& rules);

}  // namespace jcamp
