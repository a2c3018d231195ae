// The planned rows' values in a file's value block, written while its data
// blocks are still being filled: each run of blocks is planned in file order,
// its rows are written and its blocks' arrays go, so that the decoded blocks
// and the matrix are never held whole side by side.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "document/matrix_rows.h"

namespace jcamp {

class JcampDocument;

// Where the values go: row by row, element r * columns + v holds variable v
// of row r. The first xCount variables are the X points, then the Y
// variables up to `variables`; the columns past them read 0. A null block
// takes no values. Resampled rows go onto the grid's points (set before the
// first of them is written).
struct ValueTarget {
  float* block = nullptr;
  int32_t columns = 0;
  int32_t xCount = 0;
  int32_t variables = 0;
  const GridPoints* grid = nullptr;
};

class RowValues {
 public:
  // The planner plans the document's blocks; rows below `writable` go into
  // target as soon as they are planned.
  RowValues(JcampDocument& document, RowPlanner& planner, const ValueTarget& target,
            int64_t writable);

  // The document's blocksFilled: plans the runs that are now next in file
  // order, writes their rows and releases their blocks' arrays (those of the
  // first block stay: it names the variables). A call with count 0 means the
  // blocks are filled again from the start. Any thread may call it.
  void blocksFilled(uint32_t first, uint32_t count);

  // Whether the values of data block k are in the target already.
  bool written(uint32_t k) const { return k < written_.size() && written_[k] != 0; }
  // The coverage of data block k's row as it was written (1 unless resampled).
  float coverage(uint32_t k) const { return k < coverage_.size() ? coverage_[k] : 1.0f; }

 private:
  struct Run {
    uint32_t first = 0;
    uint32_t count = 0;
  };
  // The runs planned by this call: blocks, their rows (-1: none) and how
  // each is written, in file order.
  struct Planned {
    std::vector<uint32_t> blocks;
    std::vector<int64_t> rows;
    std::vector<RowSource> sources;
    const GridPoints* grid = nullptr;  // what resampled rows go onto
  };
  void planReadyRuns(Planned& planned);
  void writeAndRelease(const Planned& planned);

  JcampDocument& document_;
  RowPlanner& planner_;
  const ValueTarget target_;
  const int64_t writable_;
  std::mutex lock_;
  std::vector<Run> waiting_;  // filled runs whose blocks before them are not planned yet
  std::vector<char> written_;
  std::vector<float> coverage_;  // per data block, once written
};

// Writes rows [first, first + count) of target as sources[i] says, and each
// row's coverage into coverage[i] (the share of the X columns a resampled row
// fills; 1 for any other).
void writeRows(const ValueTarget& target, int64_t first, int32_t count, const RowSource* sources,
               float* coverage);

}  // namespace jcamp
