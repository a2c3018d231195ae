// Number texts for variable names and values, independent of the process locale.
#pragma once

#include <cstdint>
#include <string>

namespace jcamp {

// x with `precision` decimals, as printf's "%.*f" writes it in the C locale.
std::string formatFixed(double x, int32_t precision);

// value as "%d" writes it: the name of an abscissa written as a whole number.
std::string formatIntegerName(int32_t value);

// The name of any other abscissa: seven significant digits in fixed point,
// fewer decimals as the magnitude grows (negative values one digit fewer);
// below 0.0001 or above 999999.9 (99999.9 when negative) the short exponent
// form of formatScientific with width 0 and precision 1.
std::string formatVariableName(double x);

// A missing value (within kMissingTolerance of kMissingValue) is "m" after
// width - 1 blanks. Zero and magnitudes from 0.1 to 1000 are "%*.*f", all
// others "%*.*e" with an exponent of two digits ("1.2e+06"). Width pads with
// blanks on the left (on the right when negative); a negative precision means
// 6, and precisions above 100 are taken as 100. Negative zero reads as zero.
std::string formatScientific(float v, int32_t width, int32_t precision);

}  // namespace jcamp
