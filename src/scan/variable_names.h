// Number texts for variable names and values, independent of the process locale.
#pragma once

#include <cstdint>
#include <string>

namespace jcamp {

// x with `precision` decimals, as printf's "%.*f" writes it in the C locale.
std::string formatFixed(double x, int32_t precision);

}  // namespace jcamp
