// Reads one JCAMP-DX file's values and names for the matrix: the file's
// lines, labels, blocks and tables, then its rows as the row model plans
// them. It reports how the reading went and never talks to the user.
#pragma once

#include <cstdint>

#include "document/file_result.h"
#include "document/row_model.h"
#include "labels/reading_rules.h"

namespace jcamp {

class FileBytes;
struct JcampFileInfo;
struct MatrixAxis;

// Whether the builder names the X and Y variables: an import takes them from
// its first file only, and naming thousands of abscissas per file is costly.
enum class VariableNaming { kName, kSkip };

// The file to read: its entry as its last header scan left it (path, counts,
// concentration names), and the bytes that scan read, opened by the caller
// (perhaps read whole); null bytes: the file is opened by path.
// xCount and yCount are the ##NPOINTS= and concentration count that scan
// read (the entry keeps those of its last successful scan).
struct FileSource {
  const JcampFileInfo& entry;
  FileBytes* bytes = nullptr;
  int32_t xCount = 0;
  int32_t yCount = 0;
};

// What the matrix asks of the file: its columns (the import's X and Y
// variables; xColumns of them X, or -1 for as many as the file's ##NPOINTS=),
// whether to name them, and the matrix's X axis, which every block is
// compared with (the diagnostics tell the outcome per row); when its grid is
// empty, or none is given, the file's first row's block sets it. Under a grid
// policy (resampling) blocks off the grid are resampled onto it.
struct MatrixRequest {
  int32_t columns = 0;
  VariableNaming naming = VariableNaming::kName;
  MatrixAxis* axis = nullptr;
  bool resampling = false;
  int32_t xColumns = -1;
};

// Reads the file; whatever cannot be allocated on the way makes it "not
// enough memory". A file that cannot be read gives its status and message,
// and no values or names.
FileResult readFileMatrix(const FileSource& source, const ReadingRules& rules,
                          const RowModel& rowModel, const MatrixRequest& request);

}  // namespace jcamp
