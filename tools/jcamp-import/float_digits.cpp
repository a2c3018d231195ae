#include "float_digits.h"

#include <cstring>

namespace {

constexpr uint64_t kScale = 1000000;  // 10^kDecimals

}  // namespace

bool shortestSixDecimals(float value, uint32_t& millionths) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>((bits >> 23) & 0xFF);
  const uint32_t fraction = bits & 0x7FFFFF;
  // |value| = m / 2^s with 21 <= s <= 43: every real within half a step of it
  // on either side reads back to it, a band narrower than 10^-6 (2^-21 at
  // most), so at most one number of six decimals lies in it, and a shorter
  // decimal would be that number with its trailing zeros off.
  if (biased < 127 - 20 || biased >= 127 + 3) return false;
  const int s = 150 - biased;
  const uint64_t m = fraction | 0x800000;
  // The number of six decimals nearest the value: c / 10^6 with c the
  // integer nearest m * 10^6 / 2^s.
  const uint64_t scaled = m * kScale;
  const uint64_t c = (scaled + (uint64_t{1} << (s - 1))) >> s;
  // Its distance from the value, in units of 10^-6 / 2^(s + 2), against the
  // band: half a step above (2 units), half a step below, or a quarter step
  // just above a power of two, where the float below lies half as far.
  const uint64_t at = c << s;
  const bool above = at >= scaled;
  const uint64_t distance = (above ? at - scaled : scaled - at) << 2;
  const uint64_t reach = (above || fraction != 0 ? 2 : 1) * kScale;
  // A tie (distance == reach) reads back to the float when m is even.
  if (distance > reach || (distance == reach && (m & 1) != 0) || c == 0) return false;
  millionths = static_cast<uint32_t>(c);
  return true;
}
