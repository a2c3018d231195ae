#include "document/matrix_rows.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "document/jcamp_document.h"
#include "document/line_table.h"
#include "labels/data_types.h"
#include "labels/narrow_to_float.h"

namespace jcamp {
namespace {

constexpr size_t kMostRefusalLines = 5;

bool holdsTable(const JcampBlock& block) {
  return block.tableForm == kTableFormXyData || block.tableForm == kTableFormXyPoints;
}

bool isEnd(const LabelRecord* label) {
  return label != nullptr && label->name != nullptr && std::strcmp(label->name.get(), "END") == 0;
}

// For each data block, whether its block never ended: the input stopped in it.
std::vector<bool> unclosedBlocks(const JcampDocument& document) {
  std::vector<bool> unclosed;
  for (uint32_t s = 0; s < document.spanCount; ++s) {
    const BlockSpan& span = document.spans[s];
    if (span.dataType != kDataTypeLink) unclosed.push_back(!isEnd(span.lastLabel));
  }
  return unclosed;
}

uint32_t titleLine(const JcampBlock& block) {
  return block.title != nullptr ? block.title->firstLine + 1 : 0;
}

// What the tables and the input raised for block k.
SampleDiagnostics blockDiagnostics(const JcampDocument& document, const JcampBlock& block,
                                   uint32_t k, const std::vector<bool>& unclosed) {
  SampleDiagnostics diagnostics;
  diagnostics.block = static_cast<int32_t>(k);
  diagnostics.note(block.checkFlags, block.warnings, block.warningLine);
  const uint32_t cut = document.lineTable != nullptr ? document.lineTable->cutLine() : 0;
  if (cut != 0 && k < unclosed.size() && unclosed[k]) diagnostics.note(0, kWarnTruncated, cut);
  return diagnostics;
}

std::string describeRefusal(uint32_t k, uint32_t points, const XGrid& matrix) {
  std::string text = "block " + std::to_string(k + 1) + ": ";
  if (points != matrix.size()) {
    return text + std::to_string(points) + " X points, not " + std::to_string(matrix.size());
  }
  return text + "X values off the matrix's grid by more than half a step";
}

}  // namespace

RowPlanner::RowPlanner(const JcampDocument& document, int32_t counted, XGrid& matrixGrid)
    : document_(document),
      matrixGrid_(matrixGrid),
      gridGiven_(!matrixGrid.empty()),
      counted_(counted),
      unclosed_(unclosedBlocks(document)) {}

uint32_t RowPlanner::candidates() const {
  if (document_.context.rules.rowsForBlocks) return document_.dataBlockCount;
  return static_cast<uint32_t>(counted_ > 0 ? counted_ : 0);
}

void RowPlanner::restart() {
  if (!gridGiven_) matrixGrid_ = XGrid();
  next_ = 0;
  refusedBlocks_ = 0;
  plan_ = FileRows();
}

int64_t RowPlanner::planBlock() {
  const uint32_t k = next_++;
  if (k >= candidates() || k >= document_.dataBlockCount) return -1;
  const ReadingRules& rules = document_.context.rules;
  const JcampBlock& block = document_.dataBlocks[k];
  if (rules.rowsForBlocks && !holdsTable(block)) return -1;
  MatrixRow row;
  row.block = &block;
  row.diagnostics = blockDiagnostics(document_, block, k, unclosed_);
  if (matrixGrid_.empty()) matrixGrid_ = XGrid::of(block);
  const GridFit fit = fitGrid(block, matrixGrid_);
  if (fit.offGrid && rules.refuseOtherGrid) {
    if (refusedBlocks_++ < kMostRefusalLines) {
      plan_.refused.push_back(describeRefusal(k, block.nPoints, matrixGrid_));
    }
    return -1;
  }
  row.reversed = fit.reversed && rules.alignReversedX;
  const uint32_t warnings =
      (fit.reversed && !row.reversed ? kWarnXReversed : 0u) | (fit.offGrid ? kWarnXGrid : 0u);
  row.diagnostics.note(0, warnings, titleLine(block));
  // What came before the first ##TITLE= is the file's: its first row tells.
  if (document_.textBeforeTitle && plan_.rows.empty()) {
    row.diagnostics.note(0, kWarnTextBeforeTitle, 1);
  }
  plan_.rows.push_back(row);
  return static_cast<int64_t>(plan_.rows.size()) - 1;
}

FileRows RowPlanner::finish() {
  const uint32_t candidates = this->candidates();
  while (next_ < document_.dataBlockCount && next_ < candidates) planBlock();
  const uint32_t cut = document_.lineTable != nullptr ? document_.lineTable->cutLine() : 0;
  for (uint32_t k = std::max(next_, document_.dataBlockCount); k < candidates; ++k) {
    // Counted by the header, absent from the file.
    MatrixRow row;
    row.diagnostics.block = static_cast<int32_t>(k);
    row.diagnostics.note(0, kWarnBlockMissing | (cut != 0 ? kWarnTruncated : 0u), cut);
    plan_.rows.push_back(row);
  }
  next_ = std::max(next_, candidates);
  if (refusedBlocks_ > kMostRefusalLines) {
    plan_.refused.push_back("and " + std::to_string(refusedBlocks_ - kMostRefusalLines) +
                            " more blocks");
  }
  return std::move(plan_);
}

std::string rowName(const JcampDocument& document, const MatrixRow& row, const std::string& path) {
  std::string name;
  if (row.block != nullptr) {
    for (const LabelRecord* record : {row.block->sampleDescription, row.block->title}) {
      const char* text = record != nullptr ? valueText(document.context, *record) : nullptr;
      if (text != nullptr && *text != '\0') {
        name = text;
        break;
      }
    }
  }
  if (name.empty()) {
    const size_t slash = path.find_last_of("/\\");
    name = (slash == std::string::npos ? path : path.substr(slash + 1)) + " block " +
           std::to_string(row.diagnostics.block + 1);
  }
  if (name.size() > kNameLimit) {
    size_t end = kNameLimit;
    // Back to the start of a UTF-8 character: continuation bytes are 10xxxxxx.
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    name.resize(end);
  }
  return name;
}

std::string roundTripName(const XGrid& grid, uint32_t i) {
  char text[64];
  const double x = grid.at(i);
  const auto result = grid.even() ? std::to_chars(text, text + sizeof text, x)
                                  : std::to_chars(text, text + sizeof text, narrowToFloat(x));
  return std::string(text, result.ptr);
}

}  // namespace jcamp
