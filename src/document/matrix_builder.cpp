#include "document/matrix_builder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
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

uint32_t loadDocument(JcampDocument& document, const JcampReader& reader, const char* path) {
  document.context.rules = reader.rules;
  uint32_t status = readLines(document, reader, path);
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

// Samples whose values are staged together: for each variable they make one
// run of the block, whole cache lines instead of one float in each.
constexpr int32_t kStagedSamples = 16;

// Where the values go: element i * rows + j holds variable i of sample j.
struct ValueTarget {
  float* block = nullptr;
  int64_t rows = 0;
  int32_t xCount = 0;
  int32_t variables = 0;
  int32_t samples = 0;
};

ValueTarget valueTarget(const JcampReader& reader, int32_t variables, int32_t samples) {
  ValueTarget target;
  target.block = reader.valueBlock.get();
  target.rows = reader.blockRows;
  target.xCount = std::clamp(reader.nPoints, 0, variables);
  target.variables = variables;
  target.samples = samples;
  return target;
}

// Writes samples [first, end) of the target: each sample's values into a
// staging area first (kStagedSamples apart), then each variable's run of
// samples into the block. Samples without a data block read 0.
void fillSamples(const JcampDocument& document, const ValueTarget& target, int32_t first,
                 int32_t end) {
  auto dataBlock = [&document](int32_t j) {
    return static_cast<uint32_t>(j) < document.dataBlockCount ? &document.dataBlocks[j] : nullptr;
  };
  if (end - first == 1) {
    // A lone sample gains nothing from staging (a single-sample block is one run anyway).
    fillSample(dataBlock(first), target.block + first, target.rows, target.xCount,
               target.variables);
    return;
  }
  if (first >= end) return;
  const int32_t width = std::min(kStagedSamples, end - first);
  const std::unique_ptr<float[]> staging(new float[static_cast<size_t>(target.variables) * width]);
  for (int32_t group = first; group < end; group += width) {
    const int32_t count = std::min(width, end - group);
    for (int32_t s = 0; s < count; ++s) {
      fillSample(dataBlock(group + s), staging.get() + s, width, target.xCount, target.variables);
    }
    for (int64_t i = 0; i < target.variables; ++i) {
      std::memcpy(target.block + i * target.rows + group, staging.get() + i * width,
                  static_cast<size_t>(count) * sizeof(float));
    }
  }
}

// Every sample's values, a run of kStagedSamples samples at a time; the
// columns the entry does not describe (the file changed since it was added)
// stay defined.
void fillValues(const JcampDocument& document, JcampReader& reader, int32_t variables,
                int32_t samples) {
  const ValueTarget target = valueTarget(reader, variables, samples);
  fillSamples(document, target, 0, samples);
  std::fill(target.block + static_cast<int64_t>(variables) * target.rows,
            target.block + static_cast<int64_t>(reader.blockColumns) * target.rows, 0.0f);
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
