// One JCAMP-DX file in memory: normalised lines, labelled records, block spans
// and one filled JcampBlock per data block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "labels/jcamp_block.h"
#include "labels/label_record.h"
#include "labels/reading_rules.h"
#include "labels/status.h"
#include "platform/large_blocks.h"

namespace jcamp {

class LineTable;

// What the labels of a block's span reach: by default every label between
// its TITLE and END, those of the blocks it encloses too; or the block's own
// labels only.
enum class LabelScope { kWholeSpan, kOwnLabels };

// One ##TITLE= ... ##END= block: its data type and the records that open and close it.
struct BlockSpan {
  uint32_t dataType = 0;
  const LabelRecord* firstLabel = nullptr;
  const LabelRecord* lastLabel = nullptr;
};

// Where a data block comes from: its span, its block of the file (the data
// blocks counted from 0 as the spans that are not LINK blocks) and, for a
// page of that block, the page from 0 (-1: the whole block).
struct BlockOrigin {
  uint32_t span = 0;
  uint32_t block = 0;
  int32_t page = -1;
};

// How buildDataBlocks applies the labels: span by span, or in one pass for
// all blocks at once (the same blocks either way; one pass is what keeps
// files whose blocks lack ##END= linear). kAuto picks by the spans' overlap.
enum class SpanFill { kAuto, kEachSpan, kTogether };

// Steps in calling order: readFile, buildLabels, buildBlocks, then set
// concentrationCapacity, then buildDataBlocks. Each returns a status
// (kStatusOk, kStatusNoMemoryToRead, ...); the caller stops at the first other one.
class JcampDocument {
 public:
  JcampDocument(const ReadingRules& rules, LabelScope scope);
  ~JcampDocument();
  JcampDocument(const JcampDocument&) = delete;
  JcampDocument& operator=(const JcampDocument&) = delete;

  Status readFile(const char* path);
  // readFile from the file's bytes that the caller holds, used in place (see
  // LineTable::useText): size bytes followed by zero padding.
  Status readText(char* text, size_t size);
  Status buildLabels();
  Status buildBlocks();
  Status buildDataBlocks();
  Status buildDataBlocks(SpanFill fill);
  void clearDocument();

  uint32_t labelCount = 0;
  uint32_t spanCount = 0;
  uint32_t dataBlockCount = 0;
  uint32_t concentrationCapacity = 0;
  // Whether readFile passed over blank lines or text before the first
  // ##TITLE= (under the rule textBeforeTitle).
  bool textBeforeTitle = false;
  // When set, buildDataBlocks calls it for each run of data blocks it has
  // filled (first, count), as soon as they are complete, on the thread that
  // filled them; runs may come in any order. It may take the blocks' arrays.
  // When the blocks are filled again from fresh ones (a fill on several
  // threads that ran over its budget is redone one block at a time), it is
  // called with count 0 first. Blocks whose spans overlap are filled in one
  // pass without it.
  std::function<void(uint32_t first, uint32_t count)> blocksFilled;
  // The lines the records index into (set by buildLabels) and the reading rules.
  ReadContext context;
  const LabelScope labelScope;
  std::unique_ptr<LineTable> lineTable;
  platform::LargeObjects<LabelRecord> labels;
  std::unique_ptr<BlockSpan[]> spans;
  platform::LargeObjects<JcampBlock> dataBlocks;
  std::unique_ptr<BlockOrigin[]> blockOrigins;  // dataBlockCount, set with dataBlocks

 private:
  // readFile's steps after its first: lines from load, then normalised.
  template <typename Load>
  Status readLines(Load load);
  void releaseLabels();
  // Per label, set by buildLabels: whether it opens, closes or types a block.
  std::unique_ptr<uint8_t[]> labelRoles_;
};

}  // namespace jcamp
