#include "document/matrix_builder.h"

#include <algorithm>
#include <cmath>
#include <new>
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

int32_t reportFailure(JcampReader& reader, const JcampFileInfo& entry) {
  reader.valueBlock.reset();
  reader.sampleNames.clear();
  reader.xNames.clear();
  reader.yNames.clear();
  const std::string text = "Reading file " + entry.path + ":\n" + reader.message +
                           "\n\nImport will continue without data from this file!";
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

int32_t reportNoMemory(JcampReader& reader, const JcampFileInfo& entry) {
  setStatus(reader, kStatusNoMemory);
  return reportFailure(reader, entry);
}

namespace {

int32_t buildMatrixOrThrow(JcampReader& reader, const JcampFileInfo& entry, VariableNaming naming) {
  reader.sampleNames.clear();
  reader.xNames.clear();
  reader.yNames.clear();
  reader.status = kReaderOk;

  const int32_t precheck = precheckFile(entry.path.c_str());
  if (precheck != kReaderOk) {
    setStatus(reader, static_cast<uint32_t>(precheck));
    return reportFailure(reader, entry);
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
    return reportFailure(reader, entry);
  }
  JcampDocument document;
  const uint32_t status = loadDocument(document, reader, entry.path.c_str());
  if (status != kDocOk) {
    setStatus(reader, status);
    return reportFailure(reader, entry);
  }
  if (hasValues) fillValues(document, reader, static_cast<int32_t>(variables), samples);
  if (naming == VariableNaming::kName) {
    nameVariables(document, reader, entry, static_cast<int32_t>(variables));
  }
  nameSamples(document, reader, samples);
  reader.status = static_cast<int32_t>(status);
  return 1;
}

}  // namespace

int32_t buildMatrix(JcampReader& reader, const JcampFileInfo& entry, VariableNaming naming) {
  // Whatever cannot be allocated on the way is the file's "not enough memory".
  try {
    return buildMatrixOrThrow(reader, entry, naming);
  } catch (const std::bad_alloc&) {
    return reportNoMemory(reader, entry);
  }
}

}  // namespace jcamp
