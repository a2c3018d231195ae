#include "document/row_values.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "document/block_points.h"
#include "document/jcamp_document.h"
#include "document/linear_resampling.h"
#include "document/peak_binning.h"
#include "labels/data_types.h"
#include "labels/markers.h"

namespace jcamp {
namespace {

// Y variable k is the block's concentration k, 0 where it gives none.
void fillConcentrations(const JcampBlock* data, float* out, int32_t xCount, int32_t variables) {
  int32_t k = 0;
  if (data != nullptr && data->concentrations) {
    const uint32_t given = std::min(data->concentrationCount, data->concentrationLength);
    const int32_t held = static_cast<int32_t>(std::min<uint32_t>(given, variables - xCount));
    std::copy_n(data->concentrations.get(), held, out + xCount);
    k = held;
  }
  std::fill(out + xCount + k, out + variables, 0.0f);
}

// Writes one row: out[i] is variable i. X variable i is the block's point i:
// 0 beyond its ##NPOINTS= or without a table, missing where the table held
// fewer points than ##NPOINTS= announced. A null block reads 0.
void fillRow(const JcampBlock* data, float* out, int32_t xCount, int32_t variables) {
  int32_t i = 0;
  if (data != nullptr && data->yValues) {
    const int32_t announced = static_cast<int32_t>(std::min<uint32_t>(data->nPoints, xCount));
    const int32_t held = static_cast<int32_t>(std::min<uint32_t>(data->tableLength, announced));
    std::copy_n(data->yValues.get(), held, out);
    std::fill(out + held, out + announced, kMissingValue);
    i = announced;
  }
  std::fill(out + i, out + xCount, 0.0f);
  fillConcentrations(data, out, xCount, variables);
}

// An even table as the even resampling takes it.
bool evenSpectrum(const JcampBlock& block, const RowSource& source, EvenSpectrum& even) {
  if (block.tableForm == kTableFormXyPoints || block.nPoints < 2 || !block.yValues) return false;
  even.first = block.firstX;
  even.step = (block.lastX - block.firstX) / (block.nPoints - 1);
  even.y = block.yValues.get();
  even.count = std::min(block.nPoints, block.tableLength);
  even.conversion = source.conversion;
  return even.count >= 2 && std::isfinite(even.first) && std::isfinite(even.step) &&
         even.step != 0.0;
}

// What resampling a row needs besides its target: kept for the next row.
struct Resampler {
  BlockPoints points;
  EvenPlacement placement;

  // Writes a resampled row's X values onto the grid's columns (missing past
  // the grid's) and its concentrations; returns its coverage.
  float fill(const RowSource& source, const ValueTarget& target, float* out) {
    const GridPoints& grid = *target.grid;
    const JcampBlock& block = *source.block;
    const uint32_t onGrid = std::min<uint32_t>(grid.size, static_cast<uint32_t>(target.xCount));
    const ColumnOut columns{out, onGrid};
    uint32_t filled = 0;
    EvenSpectrum even;
    if (source.writing == RowWriting::kInterpolated && evenSpectrum(block, source, even)) {
      filled = interpolateEvenOnto(even, grid, columns, placement);
    } else {
      points.take(block, source.conversion);
      if (source.writing == RowWriting::kBinned) {
        double low = 0;
        double high = 0;
        peakRange(block, source.conversion, points, low, high);
        filled = binOnto(points, low, high, grid, columns);
      } else {
        filled = interpolateOnto(points, grid, columns);
      }
    }
    std::fill(out + onGrid, out + target.xCount, kMissingValue);
    fillConcentrations(source.block, out, target.xCount, target.variables);
    const uint32_t held = std::min(filled, static_cast<uint32_t>(target.xCount));
    return target.xCount > 0 ? static_cast<float>(static_cast<double>(held) / target.xCount) : 1.0f;
  }
};

// One row of sources into out (out[i] is variable i, up to the block's
// columns, those past the variables 0); its coverage.
float writeRow(const ValueTarget& target, const RowSource& source, float* out,
               std::unique_ptr<Resampler>& resampler) {
  std::fill(out + target.variables, out + target.columns, 0.0f);
  if (source.resampled() && source.block != nullptr && target.grid != nullptr) {
    if (!resampler) resampler = std::make_unique<Resampler>();
    return resampler->fill(source, target, out);
  }
  fillRow(source.block, out, target.xCount, target.variables);
  if (source.writing == RowWriting::kReversed) std::reverse(out, out + target.xCount);
  return 1.0f;
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

void writeRows(const ValueTarget& target, int64_t first, int32_t count, const RowSource* sources,
               float* coverage) {
  if (count <= 0 || target.block == nullptr || target.columns <= 0) return;
  std::unique_ptr<Resampler> resampler;
  for (int32_t r = 0; r < count; ++r) {
    float* row = target.block + (first + r) * target.columns;
    coverage[r] = writeRow(target, sources[r], row, resampler);
  }
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
      coverage_.clear();
      return;
    }
    if (written_.size() < document_.dataBlockCount) {
      written_.resize(document_.dataBlockCount, 0);
      coverage_.resize(document_.dataBlockCount, 1.0f);
    }
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
      planned.sources.push_back(row >= 0 ? planner_.source(row) : RowSource());
    }
    planned.grid = planner_.gridPoints();
  }
}

// Off the lock: the rows of different runs never overlap, nor do their blocks.
void RowValues::writeAndRelease(const Planned& planned) {
  const size_t count = planned.blocks.size();
  ValueTarget target = target_;
  target.grid = planned.grid;
  std::vector<RowSource> sources;
  std::vector<float> coverage;
  size_t i = 0;
  while (i < count) {
    // Rows are planned one after another: a stretch of blocks with writable
    // rows holds consecutive rows.
    if (planned.rows[i] < 0 || planned.rows[i] >= writable_) {
      ++i;
      continue;
    }
    const int64_t firstRow = planned.rows[i];
    sources.clear();
    size_t end = i;
    while (end < count && planned.rows[end] >= 0 && planned.rows[end] < writable_) {
      sources.push_back(planned.sources[end]);
      ++end;
    }
    coverage.assign(sources.size(), 1.0f);
    writeRows(target, firstRow, static_cast<int32_t>(sources.size()), sources.data(),
              coverage.data());
    for (size_t j = i; j < end; ++j) {
      written_[planned.blocks[j]] = 1;
      coverage_[planned.blocks[j]] = coverage[j - i];
    }
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
