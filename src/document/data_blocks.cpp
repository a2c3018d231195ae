// The last layer of a document: one filled JcampBlock per block that holds data.
#include <memory>
#include <new>

#include "document/jcamp_document.h"
#include "labels/data_types.h"
#include "labels/label_dictionary.h"

namespace jcamp {
namespace {

bool holdsData(const BlockSpan& span) {
  return span.dataType != kDataTypeLink;
}

// Hands every label of span s, its TITLE and END included, to the block.
// Under rowsForBlocks the labels of the blocks it encloses are theirs alone:
// a compound block without ##DATATYPE=LINK does not take its blocks' tables.
uint32_t fillBlock(JcampBlock& block, const JcampDocument& document, uint32_t s) {
  const BlockSpan& span = document.spans[s];
  if (span.firstLabel == nullptr || span.lastLabel == nullptr) return kDocOk;
  const bool ownLabelsOnly = document.context.rules.rowsForBlocks;
  uint32_t inner = s + 1;  // the next block that may lie inside this one
  for (const LabelRecord* label = span.firstLabel; label <= span.lastLabel; ++label) {
    if (ownLabelsOnly && inner < document.spanCount && document.spans[inner].firstLabel == label) {
      label = document.spans[inner].lastLabel;
      while (inner < document.spanCount && document.spans[inner].firstLabel <= label) ++inner;
      continue;
    }
    block.concentrationCount = document.concentrationCapacity;
    const uint32_t status = applyLabel(block, *label, document.context);
    if (status != kDocOk) return status;
  }
  return kDocOk;
}

}  // namespace

uint32_t JcampDocument::buildDataBlocks() {
  if (spans == nullptr || spanCount == 0) return kDocNotReady;
  dataBlocks.reset();
  dataBlockCount = 0;

  uint32_t count = 0;
  for (uint32_t s = 0; s < spanCount; ++s) count += holdsData(spans[s]) ? 1 : 0;
  try {
    if (count > 0) dataBlocks = std::make_unique<JcampBlock[]>(count);
  } catch (const std::bad_alloc&) {
    return kDocNoMemory;
  }
  dataBlockCount = count;

  uint32_t k = 0;
  for (uint32_t s = 0; s < spanCount; ++s) {
    if (!holdsData(spans[s])) continue;
    const uint32_t status = fillBlock(dataBlocks[k++], *this, s);
    if (status != kDocOk) return status;
  }
  return kDocOk;
}

}  // namespace jcamp
