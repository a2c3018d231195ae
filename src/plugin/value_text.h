// getData's text of a value: "%f" of the float widened to double (six
// decimals, as std::to_chars writes it), or "m" for a missing value.
#pragma once

#include <cstddef>

namespace jcamp {

// The longest text: a float's 39 integer digits, a sign, a point and six decimals.
constexpr size_t kValueTextCapacity = 48;

// Writes the text and its NUL into out (room for kValueTextCapacity bytes);
// returns the length without the NUL.
size_t writeValueText(float value, char* out);

}  // namespace jcamp
