#include "labels/ordinate_scaling.h"

#include <cstdint>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "labels/markers.h"
#include "labels/narrow_to_float.h"

namespace jcamp {
namespace {

void scaleOne(float& value, double factor) {
  if (value != kMissingValue) value = narrowToFloat(value * factor);
}

#if defined(__SSE2__)
// Four ordinates at once; false, with nothing written, when one of them is
// missing or its product lies beyond the float range (or is not a number),
// where the plain conversion could differ from narrowToFloat: one by one then.
bool scaleFour(float* values, __m128d factor) {
  const __m128 given = _mm_loadu_ps(values);
  const __m128d low = _mm_mul_pd(_mm_cvtps_pd(given), factor);
  const __m128d high = _mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(given, given)), factor);
  const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX));
  // A NaN on either side makes the maximum NaN or leaves the other side's.
  const __m128d widest = _mm_max_pd(_mm_and_pd(low, magnitude), _mm_and_pd(high, magnitude));
  const __m128d largest = _mm_set1_pd(std::numeric_limits<float>::max());
  const int outside = _mm_movemask_pd(_mm_cmpngt_pd(largest, widest));
  const int missing = _mm_movemask_ps(_mm_cmpeq_ps(given, _mm_set1_ps(kMissingValue)));
  if ((outside | missing) != 0) return false;
  _mm_storeu_ps(values, _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high)));
  return true;
}
#endif

}  // namespace

void scaleOrdinates(float* values, uint64_t count, double factor) {
  uint64_t j = 0;
#if defined(__SSE2__)
  const __m128d wideFactor = _mm_set1_pd(factor);
  for (; count - j >= 4; j += 4) {
    if (!scaleFour(values + j, wideFactor)) {
      for (uint64_t k = j; k < j + 4; ++k) scaleOne(values[k], factor);
    }
  }
#endif
  for (; j < count; ++j) scaleOne(values[j], factor);
}

}  // namespace jcamp
