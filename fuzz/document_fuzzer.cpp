// libFuzzer target: arbitrary bytes through the document model and the table
// decoders (lines, labels, spans, data blocks with every label applied), then
// every value the blocks claim to hold is read and a few are named, so that
// the sanitizers see any length that overstates an array. Inputs are read by
// either rule set, as the input's length decides.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "document/jcamp_document.h"
#include "document/line_table.h"
#include "scan/variable_names.h"

namespace {

volatile float sink;

float readBlock(const jcamp::JcampBlock& block) {
  float sum = 0;
  for (uint32_t i = 0; i < block.tableLength; ++i) {
    sum += block.yValues[i];
    if (block.xValues != nullptr) sum += block.xValues[i];
    if (block.xIsReal != nullptr) sum += static_cast<float>(block.xIsReal[i]);
  }
  for (uint32_t i = 0; i < block.concentrationLength; ++i) sum += block.concentrations[i];
  if (block.tableLength > 0) {
    const float last = block.yValues[block.tableLength - 1];
    sum += static_cast<float>(jcamp::formatVariableName(last).size());
    sum += static_cast<float>(jcamp::formatScientific(last, 12, 4).size());
  }
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  jcamp::JcampDocument document;
  document.context.rules =
      (size / 7) % 2 == 0 ? jcamp::kHostCompatibleRules : jcamp::kStandardRules;
  document.lineTable = std::make_unique<jcamp::LineTable>(document.context.rules);
  if (document.lineTable->loadText(reinterpret_cast<const char*>(data), size) != jcamp::kDocOk) {
    return 0;
  }
  document.lineTable->normalizeLines();
  if (document.buildLabels() != jcamp::kDocOk || document.buildBlocks() != jcamp::kDocOk) return 0;
  // Vary the concentration capacity with the input, as different files would.
  document.concentrationCapacity = static_cast<uint32_t>(size % 7);
  document.buildDataBlocks();  // a failed step keeps the blocks it made: read them too
  float sum = 0;
  for (uint32_t k = 0; k < document.dataBlockCount; ++k) sum += readBlock(document.dataBlocks[k]);
  sink = sum;
  return 0;
}
