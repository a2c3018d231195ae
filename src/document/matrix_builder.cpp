#include "document/matrix_builder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "document/jcamp_document.h"
#include "document/matrix_rows.h"
#include "document/row_values.h"
#include "document/x_grid.h"
#include "labels/data_types.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "scan/jcamp_file_info.h"
#include "scan/jcamp_reader.h"
#include "scan/variable_names.h"

namespace jcamp {
namespace {

constexpr double kLargestWholeName = 2147483647.0;

// The pre-check: the file must exist and not be empty before it is loaded whole.
// Bytes the caller opened for the reader were measured when they were opened.
int32_t precheckFile(const JcampReader& reader, const char* path) {
  int64_t length = -1;
  if (const FileBytes* bytes = reader.openedBytes()) {
    length = bytes->length();
  } else {
    platform::ScopedFile file(path);
    if (file.isOpen()) length = platform::fileLength(file.handle());
  }
  if (length < 0) return kStatusIoError;
  if (length == 0) return kStatusFormatError;
  return kReaderOk;
}

// The lines from the bytes the reader's scan had, when the caller opened them.
uint32_t readLines(JcampDocument& document, const JcampReader& reader, const char* path) {
  FileBytes* bytes = reader.openedBytes();
  if (bytes == nullptr) return document.readFile(path);
  if (!bytes->complete() && !bytes->loadAll()) return kDocNoMemory;
  return document.readText(bytes->text(), bytes->held());
}

// The document up to its data blocks: lines, labels and block spans.
uint32_t loadLabels(JcampDocument& document, const JcampReader& reader, const char* path) {
  document.context.rules = reader.rules;
  uint32_t status = readLines(document, reader, path);
  if (status == kDocOk) status = document.buildLabels();
  if (status == kDocOk) status = document.buildBlocks();
  document.concentrationCapacity = reader.yCount > 0 ? static_cast<uint32_t>(reader.yCount) : 0;
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

void nameVariables(const JcampDocument& document, JcampReader& reader, const JcampFileInfo& entry,
                   int32_t variables) {
  const int32_t xCount = std::clamp(reader.nPoints, 0, variables);
  if (xCount > 0 && document.dataBlockCount > 0) {
    const JcampBlock& first = document.dataBlocks[0];
    const XGrid grid = XGrid::of(first);
    reader.xNames.reserve(static_cast<size_t>(xCount));
    for (int32_t i = 0; i < xCount; ++i) {
      reader.xNames.push_back(abscissaName(first, i, grid.at(static_cast<uint32_t>(i))));
    }
  }
  if (variables > xCount) reader.yNames = entry.yNames;
}

// A block's name: its sample description, else its title; empty when neither has text.
const char* sampleName(const JcampBlock& block, const LineView& lines) {
  for (const LabelRecord* record : {block.sampleDescription, block.title}) {
    if (record == nullptr) continue;
    const char* text = valueText(lines, *record);
    if (text != nullptr && *text != '\0') return text;
  }
  return nullptr;
}

void nameSamples(const JcampDocument& document, JcampReader& reader, int32_t samples) {
  const int32_t withBlocks =
      static_cast<int32_t>(std::min<int64_t>(samples, document.dataBlockCount));
  for (int32_t j = 0; j < withBlocks; ++j) {
    const char* name = sampleName(document.dataBlocks[j], document.context.lines);
    if (name != nullptr) reader.sampleNames.emplace_back(name);
  }
}

// The rows not written while the blocks were filled, one run of consecutive
// rows at a time: blockOf(r, block) gives row r's data block (null: none), or
// false when the row is written already.
template <typename BlockOf>
void writeRemainingRows(const ValueTarget& target, int64_t rows, BlockOf blockOf,
                        const std::vector<char>& reversed) {
  std::vector<const JcampBlock*> blocks;
  std::vector<char> flags;
  int64_t first = 0;
  const auto flush = [&] {
    writeRows(target, first, static_cast<int32_t>(blocks.size()), blocks.data(), flags.data());
    blocks.clear();
    flags.clear();
  };
  for (int64_t r = 0; r < rows; ++r) {
    const JcampBlock* block = nullptr;
    if (!blockOf(r, block)) {
      if (!blocks.empty()) flush();
      continue;
    }
    if (blocks.empty()) first = r;
    blocks.push_back(block);
    flags.push_back(reversed.empty() ? 0 : reversed[static_cast<size_t>(r)]);
    if (blocks.size() == kStagedRows) flush();
  }
  if (!blocks.empty()) flush();
}

// By default sample j holds data block j (0 everywhere beyond the blocks);
// the columns the entry does not describe (the file changed since it was
// added) stay defined.
void completeSamples(JcampReader& reader, const JcampDocument& document, const RowValues& values,
                     const ValueTarget& target, int32_t samples) {
  const auto blockOf = [&](int64_t j, const JcampBlock*& block) {
    const auto k = static_cast<uint32_t>(j);
    if (values.written(k)) return false;
    block = k < document.dataBlockCount ? &document.dataBlocks[k] : nullptr;
    return true;
  };
  writeRemainingRows(target, samples, blockOf, {});
  zeroOtherColumns(target, reader.blockColumns);
}

// Under rowsForBlocks the value block holds exactly the rows planned: the
// caller's serves when the header counted them all, else a block of the
// planned size takes the rows written so far and the rest. False when it
// cannot be allocated.
bool completeRows(JcampReader& reader, const JcampDocument& document, const FileRows& plan,
                  const RowValues& values, ValueTarget target, int64_t variables) {
  const auto rows = static_cast<int32_t>(plan.rows.size());
  int64_t keptRows = rows;  // rows that hold what was written while the blocks were filled
  if (!reader.valueBlock || reader.blockRows != rows) {
    const std::unique_ptr<float[]> earlier = std::move(reader.valueBlock);
    const int64_t earlierRows = earlier ? reader.blockRows : 0;
    reader.blockRows = rows;
    reader.allocValueBlock(reader.blockRows, reader.blockColumns);
    if (!reader.valueBlock) return plan.rows.empty() || variables == 0;
    target.block = reader.valueBlock.get();
    target.rows = rows;
    keptRows = std::min<int64_t>(earlierRows, rows);
    for (int64_t v = 0; v < target.variables && keptRows > 0; ++v) {
      std::memcpy(target.block + v * rows, earlier.get() + v * earlierRows,
                  static_cast<size_t>(keptRows) * sizeof(float));
    }
  }
  std::vector<char> reversed(plan.rows.size());
  for (size_t r = 0; r < plan.rows.size(); ++r) reversed[r] = plan.rows[r].reversed ? 1 : 0;
  const auto blockOf = [&](int64_t r, const JcampBlock*& block) {
    block = plan.rows[static_cast<size_t>(r)].block;
    return block == nullptr || r >= keptRows ||
           !values.written(static_cast<uint32_t>(block - document.dataBlocks.get()));
  };
  writeRemainingRows(target, rows, blockOf, reversed);
  zeroOtherColumns(target, reader.blockColumns);
  return true;
}

// Under roundTripNames each X name reads back to its abscissa on the matrix's grid.
void nameVariablesRoundTrip(const XGrid& grid, JcampReader& reader, const JcampFileInfo& entry,
                            int32_t variables) {
  const int32_t xCount = std::clamp(reader.nPoints, 0, variables);
  reader.xNames.reserve(static_cast<size_t>(xCount));
  for (int32_t i = 0; i < xCount; ++i) {
    reader.xNames.push_back(roundTripName(grid, static_cast<uint32_t>(i)));
  }
  if (variables > xCount) reader.yNames = entry.yNames;
}

// A file that failed leaves nothing behind.
int32_t dropResults(JcampReader& reader) {
  reader.valueBlock.reset();
  reader.sampleNames.clear();
  reader.xNames.clear();
  reader.yNames.clear();
  reader.diagnostics.clear();
  reader.refusedBlocks.clear();
  return 0;
}

int32_t askToGoOn(const std::string& text) {
  const int32_t answer = platform::showMessageBox(text, platform::kMessageBoxOkCancelExclamation);
  return answer == platform::kAnswerOk ? 1 : 0;
}

void setStatus(JcampReader& reader, uint32_t status) {
  reader.status = static_cast<int32_t>(status);
  reader.message = statusMessage(status);
}

}  // namespace

const char* statusMessage(uint32_t status) {
  switch (status) {
    case kDocNoMemory:
      return "Not enough memory to read the file";
    case kDocOpenFailed:
      return "The file cannot be opened for reading";
    case kDocNoTitle:
      return "The file does not begin with a ##TITLE= line";
    case kDocNotReady:
      return "Internal error: the file was read out of order";
    default:
      return JcampReader::messageText(static_cast<int32_t>(status));
  }
}

int32_t buildMatrix(JcampReader& reader, const JcampFileInfo& entry, VariableNaming naming,
                    XGrid* matrixGrid) {
  if (readMatrix(reader, entry, naming, matrixGrid) == 0) return reportReadFailure(reader, entry);
  return reportRefusedBlocks(reader, entry);
}

int32_t reportReadFailure(const JcampReader& reader, const JcampFileInfo& entry) {
  return askToGoOn("Reading file " + entry.path + ":\n" + reader.message +
                   "\n\nImport will continue without data from this file!");
}

int32_t reportRefusedBlocks(const JcampReader& reader, const JcampFileInfo& entry) {
  if (reader.refusedBlocks.empty()) return 1;
  std::string text = "Reading file " + entry.path + ":\n";
  for (const std::string& line : reader.refusedBlocks) text += line + "\n";
  return askToGoOn(text + "\nImport will continue without these blocks!");
}

namespace {

int32_t readMatrixOrThrow(JcampReader& reader, const JcampFileInfo& entry, VariableNaming naming,
                          XGrid* matrixGrid) {
  reader.sampleNames.clear();
  reader.xNames.clear();
  reader.yNames.clear();
  reader.diagnostics.clear();
  reader.refusedBlocks.clear();
  reader.status = kReaderOk;

  const int32_t precheck = precheckFile(reader, entry.path.c_str());
  if (precheck != kReaderOk) {
    setStatus(reader, static_cast<uint32_t>(precheck));
    return dropResults(reader);
  }
  const ReadingRules& rules = reader.rules;
  const int64_t variables =
      static_cast<int64_t>(std::max(entry.xCount, 0)) + std::max(entry.yCount, 0);
  const int32_t samples = std::max(entry.sampleCount, 0);
  // The block must hold every element written below; a smaller one means the
  // allocation failed or the file changed its shape since it was measured.
  const bool hasValues = variables > 0 && samples > 0;
  // One name per variable, even when no row is kept: as many as the file can hold.
  if (!reader.fitsScannedFile(variables)) {
    setStatus(reader, kStatusNoMemory);
    return dropResults(reader);
  }
  if (!rules.rowsForBlocks && hasValues &&
      (!reader.valueBlock || reader.blockRows < samples || reader.blockColumns < variables)) {
    setStatus(reader, kStatusNoMemory);
    return dropResults(reader);
  }
  JcampDocument document;
  uint32_t status = loadLabels(document, reader, entry.path.c_str());
  XGrid fileGrid;
  XGrid& grid = matrixGrid != nullptr ? *matrixGrid : fileGrid;
  RowPlanner planner(document, samples, grid);
  // Rows are written as their blocks are filled, into the value block the
  // caller allocated: by default a row per block the header counts; under
  // rowsForBlocks the rows it has room for (the rest wait for the plan).
  ValueTarget target;
  target.block = reader.valueBlock.get();
  target.rows = reader.blockRows;
  target.variables = static_cast<int32_t>(std::min<int64_t>(variables, reader.blockColumns));
  target.xCount = std::clamp(reader.nPoints, 0, target.variables);
  const int64_t writable = rules.rowsForBlocks ? reader.blockRows : (hasValues ? samples : 0);
  RowValues values(document, planner, target, writable);
  document.blocksFilled = [&values](uint32_t first, uint32_t count) {
    values.blocksFilled(first, count);
  };
  if (status == kDocOk) status = document.buildDataBlocks();
  document.blocksFilled = nullptr;
  if (status != kDocOk) {
    setStatus(reader, status);
    return dropResults(reader);
  }
  const FileRows plan = planner.finish();
  if (rules.rowsForBlocks) {
    if (!completeRows(reader, document, plan, values, target, variables)) {
      setStatus(reader, kStatusNoMemory);
      return dropResults(reader);
    }
    for (const MatrixRow& row : plan.rows) {
      reader.sampleNames.push_back(rowName(document, row, entry.path));
    }
  } else {
    if (hasValues) completeSamples(reader, document, values, target, samples);
    nameSamples(document, reader, samples);
  }
  if (naming == VariableNaming::kName) {
    if (rules.roundTripNames) {
      nameVariablesRoundTrip(grid, reader, entry, static_cast<int32_t>(variables));
    } else {
      nameVariables(document, reader, entry, static_cast<int32_t>(variables));
    }
  }
  for (const MatrixRow& row : plan.rows) reader.diagnostics.push_back(row.diagnostics);
  reader.refusedBlocks = plan.refused;
  reader.status = static_cast<int32_t>(status);
  return 1;
}

}  // namespace

int32_t readMatrix(JcampReader& reader, const JcampFileInfo& entry, VariableNaming naming,
                   XGrid* matrixGrid) {
  // Whatever cannot be allocated on the way is the file's "not enough memory".
  try {
    return readMatrixOrThrow(reader, entry, naming, matrixGrid);
  } catch (const std::bad_alloc&) {
    setStatus(reader, kStatusNoMemory);
    return dropResults(reader);
  }
}

int32_t reportNoMemory(JcampReader& reader, const JcampFileInfo& entry) {
  setStatus(reader, kStatusNoMemory);
  dropResults(reader);
  return reportReadFailure(reader, entry);
}

}  // namespace jcamp
