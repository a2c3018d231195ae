#include "document/block_points.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "document/x_grid.h"
#include "labels/data_types.h"

namespace jcamp {

void BlockPoints::take(const JcampBlock& block, const XConversion& conversion) {
  x_.clear();
  y_.clear();
  const float* values = block.yValues.get();
  const bool pairs = block.tableForm == kTableFormXyPoints;
  const float* abscissas = block.xValues.get();
  uint32_t held = values != nullptr ? std::min(block.nPoints, block.tableLength) : 0;
  if (pairs && abscissas == nullptr) held = 0;
  const XGrid grid = pairs ? XGrid() : XGrid::of(block);
  x_.reserve(held);
  y_.reserve(held);
  for (uint32_t i = 0; i < held; ++i) {
    const double x = conversion.apply(pairs ? static_cast<double>(abscissas[i]) : grid.at(i));
    if (!std::isfinite(x)) continue;
    x_.push_back(x);
    y_.push_back(values[i]);
  }
  if (std::is_sorted(x_.begin(), x_.end())) return;
  // Falling (the common case: a wavenumber axis, a reciprocal conversion) or in no order.
  const size_t n = x_.size();
  order_.resize(n);
  std::iota(order_.begin(), order_.end(), 0u);
  const auto lower = [this](uint32_t a, uint32_t b) { return x_[a] < x_[b]; };
  std::reverse(order_.begin(), order_.end());
  if (!std::is_sorted(order_.begin(), order_.end(), lower)) {
    std::iota(order_.begin(), order_.end(), 0u);
    std::stable_sort(order_.begin(), order_.end(), lower);
  }
  unsortedX_.swap(x_);
  unsortedY_.swap(y_);
  x_.resize(n);
  y_.resize(n);
  for (size_t k = 0; k < n; ++k) {
    x_[k] = unsortedX_[order_[k]];
    y_[k] = unsortedY_[order_[k]];
  }
}

}  // namespace jcamp
