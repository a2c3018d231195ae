#include "document/matrix_rows.h"

#include <algorithm>
#include <charconv>

#include "document/grid_placement.h"
#include "document/jcamp_document.h"
#include "document/line_table.h"
#include "labels/data_types.h"
#include "labels/narrow_to_float.h"
#include "labels/page_tables.h"

namespace jcamp {
namespace {

constexpr size_t kMostRefusalLines = 5;

bool isEnd(const LabelRecord* label) {
  return label != nullptr && hasName(*label, "END");
}

uint32_t titleLine(const JcampBlock& block) {
  return block.title != nullptr ? block.title->firstLine + 1 : 0;
}

// What the tables and the input raised for data block k.
SampleDiagnostics blockDiagnostics(const JcampDocument& document, const JcampBlock& block,
                                   uint32_t k) {
  const BlockOrigin& origin = document.blockOrigins[k];
  SampleDiagnostics diagnostics;
  diagnostics.block = static_cast<int32_t>(origin.block);
  diagnostics.page = origin.page;
  diagnostics.note(block.checkFlags, block.warnings, block.warningLine);
  // The input stopped inside a block that never ended.
  const uint32_t cut = document.lineTable != nullptr ? document.lineTable->cutLine() : 0;
  if (cut != 0 && !isEnd(document.spans[origin.span].lastLabel)) {
    diagnostics.note(0, kWarnTruncated, cut);
  }
  return diagnostics;
}

// "block 2", or for a page "block 2, page T=12.5".
std::string nameOf(const JcampDocument& document, uint32_t k) {
  const BlockOrigin& origin = document.blockOrigins[k];
  std::string text = "block " + std::to_string(origin.block + 1);
  if (origin.page < 0) return text;
  return text + ", page " + pageText(document.dataBlocks[k], document.context, origin.page);
}

std::string describeRefusal(uint32_t points, const XGrid& matrix) {
  if (points != matrix.size()) {
    return std::to_string(points) + " X points, not " + std::to_string(matrix.size());
  }
  return "X values off the matrix's grid by more than half a step";
}

// Why a data block that gives no row is left out; empty when it holds no
// data to leave out (a structure, a block without a table).
std::string unreadReason(const JcampDocument& document, const JcampBlock& block, uint32_t k) {
  std::string reason = unreadTableReason(block, document.context);
  if (!reason.empty()) return reason;
  if (document.blockOrigins[k].page >= 0) return "the page holds no ##DATA TABLE=";
  if (block.tableForm == kTableFormNTuples) return "an NTUPLES block without ##PAGE=";
  return std::string();
}

}  // namespace

RowPlanner::RowPlanner(const JcampDocument& document, const RowModel& model, int32_t counted,
                       MatrixAxis& axis, bool resampling)
    : document_(document),
      model_(model),
      axis_(axis),
      given_(axis),
      resampling_(resampling),
      counted_(counted) {}

void RowPlanner::restart() {
  axis_ = given_;
  next_ = 0;
  refusedBlocks_ = 0;
  plan_ = FileRows();
}

void RowPlanner::leaveOut(uint32_t k, const std::string& reason) {
  ++plan_.leftOut;
  if (refusedBlocks_++ < kMostRefusalLines) {
    plan_.refused.push_back(nameOf(document_, k) + ": " + reason);
  }
}

int64_t RowPlanner::planBlock() {
  const uint32_t k = next_++;
  if (k >= candidates() || k >= document_.dataBlockCount) return -1;
  const ReadingRules& rules = document_.context.rules;
  const JcampBlock& block = document_.dataBlocks[k];
  if (!model_.givesRow(block)) {
    const std::string reason = unreadReason(document_, block, k);
    if (!reason.empty()) leaveOut(k, reason);
    return -1;
  }
  MatrixRow row;
  row.block = &block;
  row.diagnostics = blockDiagnostics(document_, block, k);
  if (axis_.grid.empty()) axis_.grid = XGrid::of(block);
  if (resampling_) return planOnGrid(k, block, row);
  const GridFit fit = fitGrid(block, axis_.grid);
  if (fit.offGrid && rules.refuseOtherGrid) {
    leaveOut(k, describeRefusal(block.nPoints, axis_.grid));
    return -1;
  }
  const bool reversed = fit.reversed && rules.alignReversedX;
  row.writing = reversed ? RowWriting::kReversed : RowWriting::kAsIs;
  const uint32_t warnings =
      (fit.reversed && !reversed ? kWarnXReversed : 0u) | (fit.offGrid ? kWarnXGrid : 0u);
  row.diagnostics.note(0, warnings, titleLine(block));
  return addRow(block, row);
}

// The first row's block sets what the axis lacks; every block is then placed
// on it, or refused for its units.
int64_t RowPlanner::planOnGrid(uint32_t k, const JcampBlock& block, MatrixRow& row) {
  const ReadContext& context = document_.context;
  if (!axis_.xUnits) axis_.xUnits = blockXUnits(block, context);
  if (!axis_.yUnits) axis_.yUnits = blockYUnits(block, context);
  const GridPlacement placement = placeOnGrid(block, context, axis_);
  if (placement.refused) {
    leaveOut(k, placement.reason);
    return -1;
  }
  row.writing = placement.writing;
  row.conversion = placement.conversion;
  const bool resampled = row.source().resampled();
  const uint32_t warnings =
      (resampled ? kWarnResampled : 0u) | (placement.otherYUnits ? kWarnYUnits : 0u);
  row.diagnostics.note(0, warnings, titleLine(block));
  if (resampled && !axis_.points) {
    axis_.points = std::make_shared<const GridPoints>(GridPoints::of(axis_.grid));
  }
  return addRow(block, row);
}

int64_t RowPlanner::addRow(const JcampBlock& block, MatrixRow& row) {
  // The row lacks a table of its block.
  if (block.unreadTable != nullptr) {
    row.diagnostics.note(0, kWarnUnreadTable, block.unreadTable->firstLine + 1);
    ++plan_.leftOut;
  }
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
  // Blocks past those the row model takes (past the header's count) give no row.
  for (uint32_t k = candidates; k < document_.dataBlockCount; ++k) {
    const JcampBlock& block = document_.dataBlocks[k];
    const bool table = block.tableForm == kTableFormXyData ||
                       block.tableForm == kTableFormXyPoints || block.unreadTable != nullptr;
    if (table) ++plan_.leftOut;
  }
  const uint32_t cut = document_.lineTable != nullptr ? document_.lineTable->cutLine() : 0;
  const uint32_t rows = model_.rowsAtLeast(counted_);
  for (uint32_t k = std::max(next_, document_.dataBlockCount); k < rows; ++k) {
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

std::string roundTripName(const XGrid& grid, uint32_t i) {
  char text[64];
  const double x = grid.at(i);
  const auto result = grid.even() ? std::to_chars(text, text + sizeof text, x)
                                  : std::to_chars(text, text + sizeof text, narrowToFloat(x));
  return std::string(text, result.ptr);
}

}  // namespace jcamp
