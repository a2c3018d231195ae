#include "plugin/grid_request.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace jcamp {
namespace {

// The struct as this header's first version declared it; later ones grow at its end.
constexpr uint32_t kFirstVersionSize = offsetof(JcampGrid, units) + sizeof(JcampGrid::units);

bool explicitGridMakes(const JcampGrid& grid) {
  return std::isfinite(grid.first) && std::isfinite(grid.last) && grid.count >= 1 &&
         grid.count <= JCAMP_GRID_MOST_POINTS && (grid.count == 1 || grid.first != grid.last);
}

}  // namespace

int32_t readGridRequest(const JcampGrid* grid, GridRequest& request) {
  if (grid == nullptr) return JCAMP_NULL_ARGUMENT;
  if (grid->size < kFirstVersionSize) return JCAMP_BAD_ARGUMENT;
  JcampGrid given{};
  std::memcpy(&given, grid, std::min<size_t>(grid->size, sizeof given));
  if (given.policy < JCAMP_GRID_NONE || given.policy > JCAMP_GRID_OVERLAP) {
    return JCAMP_BAD_ARGUMENT;
  }
  if (std::memchr(given.units, '\0', sizeof given.units) == nullptr) return JCAMP_BAD_ARGUMENT;
  GridRequest read;
  read.policy = given.policy;
  if (given.policy == JCAMP_GRID_EXPLICIT) {
    if (!explicitGridMakes(given)) return JCAMP_BAD_ARGUMENT;
    read.first = given.first;
    read.last = given.last;
    read.count = given.count;
    read.units = given.units;
  }
  request = read;
  return JCAMP_OK;
}

}  // namespace jcamp
