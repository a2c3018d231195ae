#include "document/matrix_builder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "document/jcamp_document.h"
#include "document/line_table.h"
#include "document/matrix_axis.h"
#include "document/matrix_rows.h"
#include "document/row_values.h"
#include "document/value_block.h"
#include "document/x_grid.h"
#include "platform/file_io.h"
#include "scan/file_bytes.h"
#include "scan/jcamp_file_info.h"
#include "scan/variable_names.h"

namespace jcamp {
namespace {

constexpr double kLargestWholeName = 2147483647.0;

// The pre-check: the file must exist and not be empty before it is loaded
// whole. Bytes the caller opened were measured when they were opened.
Status precheckFile(const FileSource& source, int64_t& length) {
  length = -1;
  if (source.bytes != nullptr) {
    length = source.bytes->length();
  } else {
    platform::ScopedFile file(source.entry.path.c_str());
    if (file.isOpen()) length = platform::fileLength(file.handle());
  }
  if (length < 0) return kStatusIoError;
  if (length == 0) return kStatusFormatError;
  return kStatusOk;
}

// The lines from the bytes the scan had, when the caller opened them.
Status readLines(JcampDocument& document, const FileSource& source) {
  static_assert(FileBytes::kPadding >= LineTable::kTextPadding,
                "the lines' scans stay in the bytes");
  FileBytes* bytes = source.bytes;
  if (bytes == nullptr) return document.readFile(source.entry.path.c_str());
  if (!bytes->complete() && !bytes->loadAll()) return kStatusNoMemoryToRead;
  return document.readText(bytes->text(), bytes->held());
}

// The document up to its data blocks: lines, labels and block spans.
Status loadLabels(JcampDocument& document, const FileSource& source) {
  Status status = readLines(document, source);
  if (status == kStatusOk) status = document.buildLabels();
  if (status == kStatusOk) status = document.buildBlocks();
  document.concentrationCapacity = source.yCount > 0 ? static_cast<uint32_t>(source.yCount) : 0;
  return status;
}

std::string abscissaName(const JcampBlock& first, int32_t i, double x) {
  const bool writtenWhole = first.xIsReal && static_cast<uint32_t>(i) < first.nPoints &&
                            static_cast<uint32_t>(i) < first.tableLength && first.xIsReal[i] == 0 &&
                            std::fabs(x) <= kLargestWholeName;
  if (!writtenWhole) return formatVariableName(x);
  double rounded = x;
  if (x > static_cast<double>(0.1f)) rounded = x + static_cast<double>(0.5f);
  if (x < -static_cast<double>(0.1f)) rounded = x - static_cast<double>(0.5f);
  return formatIntegerName(static_cast<int32_t>(std::trunc(rounded)));
}

// X names from the abscissas of the file's first data block.
void nameVariables(const JcampDocument& document, int32_t xCount, FileResult& result) {
  if (xCount <= 0 || document.dataBlockCount == 0) return;
  const JcampBlock& first = document.dataBlocks[0];
  const XGrid grid = XGrid::of(first);
  result.xNames.reserve(static_cast<size_t>(xCount));
  for (int32_t i = 0; i < xCount; ++i) {
    result.xNames.push_back(abscissaName(first, i, grid.at(static_cast<uint32_t>(i))));
  }
}

// Under roundTripNames each X name reads back to its abscissa on the matrix's grid.
void nameVariablesRoundTrip(const XGrid& grid, int32_t xCount, FileResult& result) {
  result.xNames.reserve(static_cast<size_t>(std::max(xCount, 0)));
  for (int32_t i = 0; i < xCount; ++i) {
    result.xNames.push_back(roundTripName(grid, static_cast<uint32_t>(i)));
  }
}

// The rows not written while the blocks were filled, one run of consecutive
// rows at a time (pending(r): row r is not written yet), each row's coverage
// into coverage[r].
template <typename Pending>
void writeRemainingRows(const ValueTarget& target, const FileRows& plan, Pending pending,
                        std::vector<float>& coverage) {
  std::vector<RowSource> sources;
  int64_t first = 0;
  const auto flush = [&] {
    writeRows(target, first, static_cast<int32_t>(sources.size()), sources.data(),
              coverage.data() + first);
    sources.clear();
  };
  const auto rows = static_cast<int64_t>(plan.rows.size());
  for (int64_t r = 0; r < rows; ++r) {
    if (!pending(r)) {
      if (!sources.empty()) flush();
      continue;
    }
    if (sources.empty()) first = r;
    sources.push_back(plan.rows[static_cast<size_t>(r)].source());
  }
  if (!sources.empty()) flush();
}

// The value block holds exactly the rows planned: the one allocated from
// the header's count serves when it counted them all, else a block of the
// planned size takes the rows written so far and the rest. The rows'
// diagnostics take the coverage they were written with. False when the block
// cannot be allocated.
bool completeRows(FileResult& result, const JcampDocument& document, FileRows& plan,
                  const RowValues& values, ValueTarget target, int64_t variables,
                  int64_t fileLength) {
  const auto rows = static_cast<int32_t>(plan.rows.size());
  int64_t keptRows = rows;  // rows that hold what was written while the blocks were filled
  if (!result.values || result.rows != rows) {
    const ValueBlock earlier = std::move(result.values);
    const int64_t earlierRows = earlier ? result.rows : 0;
    result.rows = rows;
    result.values = allocateValues(rows, result.columns, fileLength);
    if (!result.values) return plan.rows.empty() || variables == 0;
    target.block = result.values.get();
    keptRows = std::min<int64_t>(earlierRows, rows);
    if (keptRows > 0) {
      std::memcpy(
          target.block, earlier.get(),
          static_cast<size_t>(keptRows) * static_cast<size_t>(result.columns) * sizeof(float));
    }
  }
  const auto blockIndex = [&](const JcampBlock* block) {
    return static_cast<uint32_t>(block - document.dataBlocks.get());
  };
  const auto pending = [&](int64_t r) {
    const JcampBlock* block = plan.rows[static_cast<size_t>(r)].block;
    return block == nullptr || r >= keptRows || !values.written(blockIndex(block));
  };
  std::vector<float> coverage(plan.rows.size(), 1.0f);
  for (size_t r = 0; r < plan.rows.size(); ++r) {
    const JcampBlock* block = plan.rows[r].block;
    if (!pending(static_cast<int64_t>(r))) coverage[r] = values.coverage(blockIndex(block));
  }
  writeRemainingRows(target, plan, pending, coverage);
  for (size_t r = 0; r < plan.rows.size(); ++r) plan.rows[r].diagnostics.coverage = coverage[r];
  return true;
}

// A file that failed leaves nothing behind but its status.
FileResult failed(Status status) {
  FileResult result;
  result.status = status;
  result.message = statusText(status);
  return result;
}

FileResult readOrThrow(const FileSource& source, const ReadingRules& rules,
                       const RowModel& rowModel, const MatrixRequest& request) {
  const JcampFileInfo& entry = source.entry;
  int64_t fileLength = -1;
  const Status precheck = precheckFile(source, fileLength);
  if (precheck != kStatusOk) return failed(precheck);
  const int64_t ownVariables =
      static_cast<int64_t>(std::max(entry.xCount, 0)) + std::max(entry.yCount, 0);
  // One name per variable, even when no row is kept: as many as the file can hold.
  if (!fitsFile(ownVariables, fileLength)) return failed(kStatusNoMemory);
  // A grid gives the X variables their number; the value block bounds it.
  const int64_t xVariables = request.xColumns >= 0 ? request.xColumns : std::max(entry.xCount, 0);
  const int64_t variables = xVariables + std::max(entry.yCount, 0);
  const int32_t xColumns = request.xColumns >= 0 ? request.xColumns : source.xCount;
  const int32_t samples = std::max(entry.sampleCount, 0);
  FileResult result;
  result.rows = samples;
  result.columns = std::max(request.columns, 0);
  result.values = allocateValues(result.rows, result.columns, fileLength);
  // Where the header's count is the rows, the block must hold every element
  // written below; a smaller one means the allocation failed or the file
  // changed its shape since it was measured.
  const bool hasValues = variables > 0 && samples > 0;
  if (rowModel.rowsFromHeader() && hasValues && (!result.values || result.columns < variables)) {
    return failed(kStatusNoMemory);
  }
  JcampDocument document(rules, rowModel.labelScope());
  Status status = loadLabels(document, source);
  MatrixAxis fileAxis;
  MatrixAxis& axis = request.axis != nullptr ? *request.axis : fileAxis;
  RowPlanner planner(document, rowModel, samples, axis, request.resampling);
  // Rows are written as their blocks are filled, into the rows the header
  // counted (the plan may want others: they wait for it).
  ValueTarget target;
  target.block = result.values.get();
  target.columns = result.columns;
  target.variables = static_cast<int32_t>(std::min<int64_t>(variables, result.columns));
  target.xCount = std::clamp(xColumns, 0, target.variables);
  RowValues values(document, planner, target, result.rows);
  document.blocksFilled = [&values](uint32_t first, uint32_t count) {
    values.blocksFilled(first, count);
  };
  if (status == kStatusOk) status = document.buildDataBlocks();
  document.blocksFilled = nullptr;
  if (status != kStatusOk) return failed(status);
  FileRows plan = planner.finish();
  target.grid = planner.gridPoints();
  if (!completeRows(result, document, plan, values, target, variables, fileLength)) {
    return failed(kStatusNoMemory);
  }
  result.sampleNames = rowModel.rowNames(document, plan.rows, samples, entry.path);
  if (request.naming == VariableNaming::kName) {
    const int32_t xCount =
        std::clamp(xColumns, 0, static_cast<int32_t>(std::min<int64_t>(variables, INT32_MAX)));
    if (rules.roundTripNames) {
      nameVariablesRoundTrip(axis.grid, xCount, result);
    } else {
      nameVariables(document, xCount, result);
    }
    if (variables > xCount) result.yNames = entry.yNames;
  }
  result.diagnostics.reserve(plan.rows.size());
  for (const MatrixRow& row : plan.rows) result.diagnostics.push_back(row.diagnostics);
  result.refusedBlocks = std::move(plan.refused);
  result.leftOut = plan.leftOut;
  return result;
}

}  // namespace

FileResult readFileMatrix(const FileSource& source, const ReadingRules& rules,
                          const RowModel& rowModel, const MatrixRequest& request) {
  try {
    return readOrThrow(source, rules, rowModel, request);
  } catch (const std::bad_alloc&) {
    return failed(kStatusNoMemory);
  }
}

}  // namespace jcamp
