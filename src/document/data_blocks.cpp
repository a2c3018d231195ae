// The last layer of a document: one filled JcampBlock per block that holds data.
#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "document/jcamp_document.h"
#include "labels/data_types.h"
#include "labels/label_dictionary.h"
#include "platform/worker_pool.h"

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

// Blocks taken together by one thread: enough work to outweigh the hand-over.
constexpr size_t kBlocksPerStep = 16;

// Blocks can be filled at the same time only when no label reaches two of
// them (a block inside another hands its labels to both).
bool labelsApart(const BlockSpan* spans, const std::vector<uint32_t>& withData) {
  const LabelRecord* lastSeen = nullptr;
  for (uint32_t s : withData) {
    const BlockSpan& span = spans[s];
    if (span.firstLabel == nullptr || span.lastLabel == nullptr) continue;
    if (lastSeen != nullptr && span.firstLabel <= lastSeen) return false;
    lastSeen = span.lastLabel;
  }
  return true;
}

// Blocks [first, end) of withData, filled and handed on; the status of the first that fails.
uint32_t fillRange(JcampDocument& document, const std::vector<uint32_t>& withData, size_t first,
                   size_t end) {
  try {
    for (size_t k = first; k < end; ++k) {
      const uint32_t status = fillBlock(document.dataBlocks[k], document, withData[k]);
      if (status != kDocOk) return status;
    }
    if (document.blocksFilled) {
      document.blocksFilled(static_cast<uint32_t>(first), static_cast<uint32_t>(end - first));
    }
  } catch (...) {
    return kDocNoMemory;
  }
  return kDocOk;
}

// The blocks filled a step at a time, on the threads at hand when their labels
// lie apart. The status is the one the first failing block gives, as if they
// had been filled one by one.
uint32_t fillBlocks(JcampDocument& document, const std::vector<uint32_t>& withData) {
  const size_t steps = (withData.size() + kBlocksPerStep - 1) / kBlocksPerStep;
  auto range = [&](size_t step) {
    return fillRange(document, withData, step * kBlocksPerStep,
                     std::min(withData.size(), (step + 1) * kBlocksPerStep));
  };
  if (platform::WorkerPool::threadsHere() == 1 || !labelsApart(document.spans.get(), withData)) {
    for (size_t step = 0; step < steps; ++step) {
      const uint32_t status = range(step);
      if (status != kDocOk) return status;
    }
    return kDocOk;
  }
  std::vector<uint32_t> statuses(steps, kDocOk);
  platform::WorkerPool::forEachHere(steps, [&](size_t step) { statuses[step] = range(step); });
  for (uint32_t status : statuses) {
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

  std::vector<uint32_t> withData;
  try {
    withData.reserve(count);
  } catch (const std::bad_alloc&) {
    return kDocNoMemory;
  }
  for (uint32_t s = 0; s < spanCount; ++s) {
    if (holdsData(spans[s])) withData.push_back(s);
  }
  return fillBlocks(*this, withData);
}

}  // namespace jcamp
