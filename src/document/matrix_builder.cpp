#include "document/matrix_builder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "document/jcamp_document.h"
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

// Abscissa of X variable i, from the first data block.
double abscissa(const JcampBlock& first, int32_t i) {
  if (first.tableForm == kTableFormXyPoints) {
    const bool present = first.xValues && static_cast<uint32_t>(i) < first.nPoints &&
                         static_cast<uint32_t>(i) < first.tableLength;
    return present ? static_cast<double>(first.xValues[i]) : 0.0;
  }
  if (first.nPoints <= 1) return first.firstX;
  // Long double keeps the product exact before the division, as wide as the platform allows.
  const long double span = static_cast<long double>(first.lastX) - first.firstX;
  return static_cast<double>(first.firstX + span * i / (first.nPoints - 1));
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

// The values of data blocks [first, first + count), taken as soon as the
// blocks are filled; their arrays then go, but for the first block's, which
// name the variables.
void takeBlockValues(JcampDocument& document, const ValueTarget& target, uint32_t first,
                     uint32_t count) {
  const auto end = static_cast<int32_t>(std::min<int64_t>(int64_t{first} + count, target.samples));
  fillSamples(document, target, static_cast<int32_t>(first), end);
  for (uint32_t k = std::max(first, 1u); k < first + count; ++k) {
    JcampBlock& block = document.dataBlocks[k];
    block.yValues.reset();
    block.xValues.reset();
    block.xIsReal.reset();
    block.concentrations.reset();
    block.tableLength = 0;
    block.concentrationLength = 0;
  }
}

// What the data blocks did not give: samples beyond them, and the columns the
// entry does not describe (the file changed since it was added), stay defined.
void fillRemainingValues(const JcampDocument& document, const ValueTarget& target,
                         int32_t blockColumns) {
  const auto withBlocks =
      static_cast<int32_t>(std::min<int64_t>(document.dataBlockCount, target.samples));
  fillSamples(document, target, withBlocks, target.samples);
  std::fill(target.block + static_cast<int64_t>(target.variables) * target.rows,
            target.block + static_cast<int64_t>(blockColumns) * target.rows, 0.0f);
}

void nameVariables(const JcampDocument& document, JcampReader& reader, const JcampFileInfo& entry,
                   int32_t variables) {
  const int32_t xCount = std::clamp(reader.nPoints, 0, variables);
  if (xCount > 0 && document.dataBlockCount > 0) {
    const JcampBlock& first = document.dataBlocks[0];
    reader.xNames.reserve(static_cast<size_t>(xCount));
    for (int32_t i = 0; i < xCount; ++i) {
      reader.xNames.push_back(abscissaName(first, i, abscissa(first, i)));
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

// A file that failed leaves nothing behind.
int32_t dropResults(JcampReader& reader) {
  reader.valueBlock.reset();
  reader.sampleNames.clear();
  reader.xNames.clear();
  reader.yNames.clear();
  return 0;
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

int32_t buildMatrix(JcampReader& reader, const JcampFileInfo& entry, VariableNaming naming) {
  return readMatrix(reader, entry, naming) != 0 ? 1 : reportReadFailure(reader, entry);
}

int32_t reportReadFailure(const JcampReader& reader, const JcampFileInfo& entry) {
  const std::string text = "Reading file " + entry.path + ":\n" + reader.message +
                           "\n\nImport will continue without data from this file!";
  const int32_t answer = platform::showMessageBox(text, platform::kMessageBoxOkCancelExclamation);
  return answer == platform::kAnswerOk ? 1 : 0;
}

int32_t readMatrix(JcampReader& reader, const JcampFileInfo& entry, VariableNaming naming) {
  reader.sampleNames.clear();
  reader.xNames.clear();
  reader.yNames.clear();
  reader.status = kReaderOk;

  const int32_t precheck = precheckFile(reader, entry.path.c_str());
  if (precheck != kReaderOk) {
    setStatus(reader, static_cast<uint32_t>(precheck));
    return dropResults(reader);
  }
  const int64_t variables =
      static_cast<int64_t>(std::max(entry.xCount, 0)) + std::max(entry.yCount, 0);
  const int32_t samples = std::max(entry.sampleCount, 0);
  // The block must hold every element written below; a smaller one means the
  // allocation failed or the file changed its shape since it was measured.
  const bool hasValues = variables > 0 && samples > 0;
  if (hasValues &&
      (!reader.valueBlock || reader.blockRows < samples || reader.blockColumns < variables)) {
    setStatus(reader, kStatusNoMemory);
    return dropResults(reader);
  }
  JcampDocument document;
  const ValueTarget target =
      valueTarget(reader, static_cast<int32_t>(hasValues ? variables : 0), samples);
  if (hasValues) {
    document.blocksFilled = [&document, &target](uint32_t first, uint32_t count) {
      takeBlockValues(document, target, first, count);
    };
  }
  const uint32_t status = loadDocument(document, reader, entry.path.c_str());
  if (status != kDocOk) {
    setStatus(reader, status);
    return dropResults(reader);
  }
  if (hasValues) fillRemainingValues(document, target, reader.blockColumns);
  if (naming == VariableNaming::kName) {
    nameVariables(document, reader, entry, static_cast<int32_t>(variables));
  }
  nameSamples(document, reader, samples);
  reader.status = static_cast<int32_t>(status);
  return 1;
}

}  // namespace jcamp
