// Whether a text is a plain decimal number, and whether it is written as a real one.
#pragma once

namespace jcamp {

// 0 when text is a valid number (isReal := 1 with a decimal point or an
// exponent, else 0); 1 when it is not (isReal is left as it was).
int checkNumberString(const char* text, int* isReal);

}  // namespace jcamp
