#include "document/row_values.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "document/jcamp_document.h"
#include "labels/markers.h"

namespace jcamp {
namespace {

// Writes one row: element i * stride of out is variable i. X variable i is
// the block's point i: 0 beyond its ##NPOINTS= or without a table, missing
// where the table held fewer points than ##NPOINTS= announced. Y variable k
// is its concentration k, 0 where the block gives none. A null block reads 0.
void fillRow(const JcampBlock* data, float* out, int64_t stride, int32_t xCount,
             int32_t variables) {
  int32_t i = 0;
  if (data != nullptr && data->yValues) {
    const int32_t announced = static_cast<int32_t>(std::min<uint32_t>(data->nPoints, xCount));
    const int32_t held = static_cast<int32_t>(std::min<uint32_t>(data->tableLength, announced));
    const float* values = data->yValues.get();
    for (; i < held; ++i) out[i * stride] = values[i];
    for (; i < announced; ++i) out[i * stride] = kMissingValue;
  }
  for (; i < xCount; ++i) out[i * stride] = 0.0f;
  int32_t k = 0;
  if (data != nullptr && data->concentrations) {
    const uint32_t given = std::min(data->concentrationCount, data->concentrationLength);
    const int32_t held = static_cast<int32_t>(std::min<uint32_t>(given, variables - xCount));
    for (; k < held; ++k) out[(xCount + k) * stride] = data->concentrations[k];
  }
  for (; xCount + k < variables; ++k) out[(xCount + k) * stride] = 0.0f;
}

void reverseX(float* out, int64_t stride, int32_t xCount) {
  for (int32_t i = 0, j = xCount - 1; i < j; ++i, --j) std::swap(out[i * stride], out[j * stride]);
}

void releaseArrays(JcampBlock& block) {
  block.yValues.reset();
  block.xValues.reset();
  block.xIsReal.reset();
  block.concentrations.reset();
  block.tableLength = 0;
  block.concentrationLength = 0;
}

}  // namespace

void writeRows(const ValueTarget& target, int64_t first, int32_t count,
               const JcampBlock* const* blocks, const char* reversed) {
  if (count <= 0 || target.block == nullptr || target.variables <= 0) return;
  if (count == 1) {
    // A lone row gains nothing from staging.
    float* out = target.block + first;
    fillRow(blocks[0], out, target.rows, target.xCount, target.variables);
    if (reversed[0] != 0) reverseX(out, target.rows, target.xCount);
    return;
  }
  // Each row into a staging area first (count apart), then each variable's
  // run of rows into the block: whole cache lines instead of one float each.
  const auto variables = static_cast<size_t>(target.variables);
  const std::unique_ptr<float[]> staging(new float[variables * static_cast<size_t>(count)]);
  for (int32_t r = 0; r < count; ++r) {
    float* out = staging.get() + r;
    fillRow(blocks[r], out, count, target.xCount, target.variables);
    if (reversed[r] != 0) reverseX(out, count, target.xCount);
  }
  for (size_t v = 0; v < variables; ++v) {
    std::memcpy(target.block + static_cast<int64_t>(v) * target.rows + first,
                staging.get() + v * static_cast<size_t>(count),
                static_cast<size_t>(count) * sizeof(float));
  }
}

void zeroOtherColumns(const ValueTarget& target, int32_t columns) {
  if (target.block == nullptr || columns <= target.variables) return;
  std::fill(target.block + static_cast<int64_t>(target.variables) * target.rows,
            target.block + static_cast<int64_t>(columns) * target.rows, 0.0f);
}

RowValues::RowValues(JcampDocument& document, RowPlanner& planner, const ValueTarget& target,
                     int64_t writable)
    : document_(document),
      planner_(planner),
      target_(target),
      writable_(target.block != nullptr ? writable : 0) {}

void RowValues::blocksFilled(uint32_t first, uint32_t count) {
  Planned planned;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (count == 0) {
      planner_.restart();
      waiting_.clear();
      written_.clear();
      return;
    }
    if (written_.size() < document_.dataBlockCount) written_.resize(document_.dataBlockCount, 0);
    waiting_.push_back({first, count});
    planReadyRuns(planned);
  }
  writeAndRelease(planned);
}

// Under lock_: plans every waiting run that starts where planning stands.
void RowValues::planReadyRuns(Planned& planned) {
  for (;;) {
    const auto next = std::find_if(waiting_.begin(), waiting_.end(), [this](const Run& run) {
      return run.first == planner_.planned();
    });
    if (next == waiting_.end()) return;
    const Run run = *next;
    waiting_.erase(next);
    for (uint32_t k = run.first; k < run.first + run.count; ++k) {
      const int64_t row = planner_.planBlock();
      planned.blocks.push_back(k);
      planned.rows.push_back(row);
      planned.reversed.push_back(row >= 0 && planner_.reversed(row) ? 1 : 0);
    }
  }
}

// Off the lock: the rows of different runs never overlap, nor do their blocks.
void RowValues::writeAndRelease(const Planned& planned) {
  const size_t count = planned.blocks.size();
  std::vector<const JcampBlock*> blocks;
  std::vector<char> reversed;
  size_t i = 0;
  while (i < count) {
    // Rows are planned one after another: a stretch of blocks with writable
    // rows holds consecutive rows.
    if (planned.rows[i] < 0 || planned.rows[i] >= writable_) {
      ++i;
      continue;
    }
    const int64_t firstRow = planned.rows[i];
    blocks.clear();
    reversed.clear();
    size_t end = i;
    while (end < count && blocks.size() < kStagedRows && planned.rows[end] >= 0 &&
           planned.rows[end] < writable_) {
      blocks.push_back(&document_.dataBlocks[planned.blocks[end]]);
      reversed.push_back(planned.reversed[end]);
      ++end;
    }
    writeRows(target_, firstRow, static_cast<int32_t>(blocks.size()), blocks.data(),
              reversed.data());
    for (size_t j = i; j < end; ++j) written_[planned.blocks[j]] = 1;
    i = end;
  }
  for (size_t j = 0; j < count; ++j) {
    const uint32_t k = planned.blocks[j];
    // A block without a row is not needed; one whose row waits keeps its values.
    const bool done = planned.rows[j] < 0 || written_[k] != 0;
    if (k > 0 && done) releaseArrays(document_.dataBlocks[k]);
  }
}

}  // namespace jcamp
