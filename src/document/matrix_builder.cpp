#include "document/matrix_builder.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "document/jcamp_document.h"
#include "document/matrix_rows.h"
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
int32_t precheckFile(const char* path) {
  platform::ScopedFile file(path);
  const int64_t length = file.isOpen() ? platform::fileLength(file.handle()) : -1;
  if (length < 0) return kStatusIoError;
  if (length == 0) return kStatusFormatError;
  return kReaderOk;
}

uint32_t loadDocument(JcampDocument& document, const JcampReader& reader, const char* path) {
  document.context.rules = reader.rules;
  uint32_t status = document.readFile(path);
  if (status == kDocOk) status = document.buildLabels();
  if (status == kDocOk) status = document.buildBlocks();
  document.concentrationCapacity = reader.yCount > 0 ? static_cast<uint32_t>(reader.yCount) : 0;
  if (status == kDocOk) status = document.buildDataBlocks();
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

// Writes one sample's column: element i * rows of out is variable i. X variable
// i is the block's point i: 0 beyond its ##NPOINTS= or without a table, missing
// where the table held fewer points than ##NPOINTS= announced. Y variable k is
// its concentration k, 0 where the block gives none. A null block reads 0.
void fillSample(const JcampBlock* data, float* out, int64_t rows, int32_t xCount,
                int32_t variables) {
  int32_t i = 0;
  if (data != nullptr && data->yValues) {
    const int32_t announced = static_cast<int32_t>(std::min<uint32_t>(data->nPoints, xCount));
    const int32_t held = static_cast<int32_t>(std::min<uint32_t>(data->tableLength, announced));
    for (; i < held; ++i) out[i * rows] = data->yValues[i];
    for (; i < announced; ++i) out[i * rows] = kMissingValue;
  }
  for (; i < xCount; ++i) out[i * rows] = 0.0f;
  int32_t k = 0;
  if (data != nullptr && data->concentrations) {
    const uint32_t given = std::min(data->concentrationCount, data->concentrationLength);
    const int32_t held = static_cast<int32_t>(std::min<uint32_t>(given, variables - xCount));
    for (; k < held; ++k) out[(xCount + k) * rows] = data->concentrations[k];
  }
  for (; xCount + k < variables; ++k) out[(xCount + k) * rows] = 0.0f;
}

// Values variable by variable: element i * rows + j holds variable i of sample j.
// Samples are written in order, so neighbours share the cache lines of each
// variable's row while they are still cached. Samples without a data block read 0.
void fillValues(const JcampDocument& document, JcampReader& reader, int32_t variables,
                int32_t samples) {
  float* block = reader.valueBlock.get();
  const int64_t rows = reader.blockRows;
  const int32_t xCount = std::clamp(reader.nPoints, 0, variables);
  for (int32_t j = 0; j < samples; ++j) {
    const JcampBlock* data =
        static_cast<uint32_t>(j) < document.dataBlockCount ? &document.dataBlocks[j] : nullptr;
    fillSample(data, block + j, rows, xCount, variables);
  }
  // Columns the entry does not describe (the file changed since it was added) stay defined.
  std::fill(block + static_cast<int64_t>(variables) * rows,
            block + static_cast<int64_t>(reader.blockColumns) * rows, 0.0f);
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

// Under rowsForBlocks the value block holds exactly the rows planned (the
// caller's serves when the header counted them all); false when it cannot be
// allocated.
bool allocateRows(JcampReader& reader, const FileRows& plan, int64_t variables) {
  const auto rows = static_cast<int32_t>(plan.rows.size());
  if (!reader.valueBlock || reader.blockRows != rows) {
    reader.blockRows = rows;
    reader.allocValueBlock(reader.blockRows, reader.blockColumns);
  }
  return reader.valueBlock != nullptr || plan.rows.empty() || variables == 0;
}

// The planned rows' values, a reversed row's X values last to first.
void fillRows(const FileRows& plan, JcampReader& reader, int32_t variables) {
  float* block = reader.valueBlock.get();
  const int64_t rows = reader.blockRows;
  const int32_t xCount = std::clamp(reader.nPoints, 0, variables);
  for (size_t r = 0; r < plan.rows.size(); ++r) {
    float* out = block + r;
    fillSample(plan.rows[r].block, out, rows, xCount, variables);
    if (!plan.rows[r].reversed) continue;
    for (int32_t i = 0, j = xCount - 1; i < j; ++i, --j) std::swap(out[i * rows], out[j * rows]);
  }
  std::fill(block + static_cast<int64_t>(variables) * rows,
            block + static_cast<int64_t>(reader.blockColumns) * rows, 0.0f);
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

int32_t readMatrix(JcampReader& reader, const JcampFileInfo& entry, VariableNaming naming,
                   XGrid* matrixGrid) {
  reader.sampleNames.clear();
  reader.xNames.clear();
  reader.yNames.clear();
  reader.diagnostics.clear();
  reader.refusedBlocks.clear();
  reader.status = kReaderOk;

  const int32_t precheck = precheckFile(entry.path.c_str());
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
  if (!rules.rowsForBlocks && hasValues &&
      (!reader.valueBlock || reader.blockRows < samples || reader.blockColumns < variables)) {
    setStatus(reader, kStatusNoMemory);
    return dropResults(reader);
  }
  JcampDocument document;
  const uint32_t status = loadDocument(document, reader, entry.path.c_str());
  if (status != kDocOk) {
    setStatus(reader, status);
    return dropResults(reader);
  }
  XGrid fileGrid;
  XGrid& grid = matrixGrid != nullptr ? *matrixGrid : fileGrid;
  const FileRows plan = planRows(document, samples, grid);
  if (rules.rowsForBlocks) {
    if (!allocateRows(reader, plan, variables)) {
      setStatus(reader, kStatusNoMemory);
      return dropResults(reader);
    }
    if (reader.valueBlock) fillRows(plan, reader, static_cast<int32_t>(variables));
    for (const MatrixRow& row : plan.rows) {
      reader.sampleNames.push_back(rowName(document, row, entry.path));
    }
  } else {
    if (hasValues) fillValues(document, reader, static_cast<int32_t>(variables), samples);
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

}  // namespace jcamp
