// Reading a label value as a whole number, the way C's atoi reads it.
#pragma once

#include <cstdint>

namespace jcamp {

// The leading decimal integer of text: after leading white space, an optional
// sign, then digits; 0 when there is none (or text is null). Values beyond
// the 32-bit range saturate at its ends instead of overflowing.
int32_t leadingInteger(const char* text);

}  // namespace jcamp
