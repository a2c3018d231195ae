// Reading a label value as a whole number, the way C's atoi reads it.
#pragma once

#include <cstdint>

namespace jcamp {

// White space as C's isspace sees it in the classic locale.
inline bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The leading decimal integer of text: after leading white space, an optional
// sign, then digits; 0 when there is none (or text is null). Values beyond
// the 32-bit range saturate at its ends instead of overflowing.
int32_t leadingInteger(const char* text);

}  // namespace jcamp
