#include "document/block_points.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "labels/data_types.h"

namespace jcamp {
namespace {

// Abscissa i of an even table: first plus i steps, each product rounded
// once. (XGrid::at forms it wider; the last bits it saves are below what
// tells two points apart on a grid.)
struct EvenAbscissas {
  double first;
  double step;
  double at(uint32_t i) const { return first + static_cast<double>(i) * step; }
};

}  // namespace

void BlockPoints::take(const JcampBlock& block, const XConversion& conversion) {
  x_.clear();
  y_.clear();
  const float* values = block.yValues.get();
  const bool pairs = block.tableForm == kTableFormXyPoints;
  const float* abscissas = block.xValues.get();
  uint32_t held = values != nullptr ? std::min(block.nPoints, block.tableLength) : 0;
  if (pairs && abscissas == nullptr) held = 0;
  if (held == 0) return;
  x_.resize(held);
  y_.resize(held);
  const EvenAbscissas even{
      block.firstX, block.nPoints > 1 ? (block.lastX - block.firstX) / (block.nPoints - 1) : 0.0};
  const auto abscissa = [&](uint32_t i) {
    return conversion.apply(pairs ? static_cast<double>(abscissas[i]) : even.at(i));
  };
  // Taken in rising order at once where the ends tell it (a falling axis, a reciprocal conversion).
  const bool falling = abscissa(held - 1) < abscissa(0);
  size_t kept = 0;
  for (uint32_t n = 0; n < held; ++n) {
    const uint32_t i = falling ? held - 1 - n : n;
    const double x = abscissa(i);
    if (!std::isfinite(x)) continue;
    x_[kept] = x;
    y_[kept] = values[i];
    ++kept;
  }
  x_.resize(kept);
  y_.resize(kept);
  if (std::is_sorted(x_.begin(), x_.end())) return;
  // Pairs in no order.
  order_.resize(kept);
  std::iota(order_.begin(), order_.end(), 0u);
  std::stable_sort(order_.begin(), order_.end(),
                   [this](uint32_t a, uint32_t b) { return x_[a] < x_[b]; });
  unsortedX_.swap(x_);
  unsortedY_.swap(y_);
  x_.resize(kept);
  y_.resize(kept);
  for (size_t k = 0; k < kept; ++k) {
    x_[k] = unsortedX_[order_[k]];
    y_[k] = unsortedY_[order_[k]];
  }
}

}  // namespace jcamp
