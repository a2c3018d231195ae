// libFuzzer target: arbitrary bytes through the document model and the table
// decoders (lines, labels, spans, data blocks with every label applied), then
// every value the blocks claim to hold is read and a few are named, so that
// the sanitizers see any length that overstates an array. Inputs are read by
// either rule set, as the input's length decides. The data blocks are then
// built both ways (span by span, and in one pass) and compared.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "document/block_state.h"
#include "document/jcamp_document.h"
#include "document/line_table.h"
#include "document/row_model.h"
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

// Blocks filled span by span and in one pass over the labels must be the same,
// bit for bit (unless one way ran out of its memory budget first).
void expectSameBlocksBothWays(jcamp::JcampDocument& document) {
  const uint32_t eachStatus = document.buildDataBlocks(jcamp::SpanFill::kEachSpan);
  const uint32_t count = document.dataBlockCount;
  const auto each = std::move(document.dataBlocks);
  const uint32_t togetherStatus = document.buildDataBlocks(jcamp::SpanFill::kTogether);
  if (eachStatus == jcamp::kStatusNoMemoryToRead || togetherStatus == jcamp::kStatusNoMemoryToRead)
    return;
  if (eachStatus != togetherStatus || count != document.dataBlockCount) __builtin_trap();
  for (uint32_t k = 0; eachStatus == jcamp::kStatusOk && k < count; ++k) {
    if (!jcamp::sameBlockState(each[k], document.dataBlocks[k])) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const jcamp::ReadingRules& rules =
      (size / 7) % 2 == 0 ? jcamp::kHostCompatibleRules : jcamp::kStandardRules;
  jcamp::JcampDocument document(rules, jcamp::RowModel::of(rules).labelScope());
  document.lineTable = std::make_unique<jcamp::LineTable>(document.context.rules);
  if (document.lineTable->loadText(reinterpret_cast<const char*>(data), size) != jcamp::kStatusOk) {
    return 0;
  }
  document.lineTable->normalizeLines();
  if (document.buildLabels() != jcamp::kStatusOk || document.buildBlocks() != jcamp::kStatusOk)
    return 0;
  // Vary the concentration capacity with the input, as different files would.
  document.concentrationCapacity = static_cast<uint32_t>(size % 7);
  document.buildDataBlocks();  // a failed step keeps the blocks it made: read them too
  float sum = 0;
  for (uint32_t k = 0; k < document.dataBlockCount; ++k) sum += readBlock(document.dataBlocks[k]);
  sink = sum;
  expectSameBlocksBothWays(document);
  return 0;
}
