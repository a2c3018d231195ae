// The rows one file gives the matrix, as its row model decides: which data
// block each holds, how its X values lie against the matrix's grid, and what
// is suspect about its values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/grid_points.h"
#include "document/matrix_axis.h"
#include "document/row_model.h"
#include "document/row_source.h"
#include "document/x_grid.h"
#include "labels/sample_warnings.h"

namespace jcamp {

class JcampDocument;

struct MatrixRow {
  const JcampBlock* block = nullptr;  // null: the header counts a block the file lacks
  RowWriting writing = RowWriting::kAsIs;
  XConversion conversion;  // resampled rows: the block's abscissas into the grid's units
  SampleDiagnostics diagnostics;

  RowSource source() const { return {block, writing, conversion}; }
};

struct FileRows {
  std::vector<MatrixRow> rows;
  // One line per block or page left out: for its X grid (under
  // refuseOtherGrid), for its X units (under a grid policy), or for a table
  // the reading does not read.
  std::vector<std::string> refused;
  // Blocks and pages left out, and rows whose block holds a table left out.
  uint32_t leftOut = 0;
};

// Plans the rows of a document whose header counts `counted` blocks, as the
// row model decides, against the matrix's X axis (an empty grid becomes that
// of the first row's block; under a grid policy, unset units those of its
// units): block by block, in file order, as soon as each data block is
// filled, so that a block's arrays may go once its row is written. Under a
// grid policy (resampling) a block off the grid is resampled onto it instead
// of being refused.
class RowPlanner {
 public:
  RowPlanner(const JcampDocument& document, const RowModel& model, int32_t counted,
             MatrixAxis& axis, bool resampling);

  // Plans the next data block; returns the index of its row, or -1 when it
  // gives none.
  int64_t planBlock();
  // Data blocks planned so far.
  uint32_t planned() const { return next_; }
  // How planned row r is written.
  RowSource source(int64_t r) const { return plan_.rows[static_cast<size_t>(r)].source(); }
  // The grid's points as resampled rows are written onto them: set once the
  // first such row is planned (null before), and kept until restart.
  const GridPoints* gridPoints() const { return axis_.points.get(); }
  // Plans the blocks left, adds the rows the header counts but the file
  // lacks and hands the plan over.
  FileRows finish();
  // Forgets every block planned: the matrix's axis is as it was given.
  void restart();

 private:
  uint32_t candidates() const { return model_.candidates(document_.dataBlockCount, counted_); }
  // planBlock under a grid policy.
  int64_t planOnGrid(uint32_t k, const JcampBlock& block, MatrixRow& row);
  // Adds the planned row of block, with what its file and block say of it.
  int64_t addRow(const JcampBlock& block, MatrixRow& row);
  // Leaves data block k out with the reason, naming it in plan_.refused.
  void leaveOut(uint32_t k, const std::string& reason);

  const JcampDocument& document_;
  const RowModel& model_;
  MatrixAxis& axis_;
  const MatrixAxis given_;
  const bool resampling_;
  const int32_t counted_;
  uint32_t next_ = 0;
  size_t refusedBlocks_ = 0;
  FileRows plan_;
};

// The shortest text that reads back to abscissa i of the grid: as a double on
// an even grid, as the float it was stored as on a grid of pairs.
std::string roundTripName(const XGrid& grid, uint32_t i);

}  // namespace jcamp
