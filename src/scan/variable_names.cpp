#include "scan/variable_names.h"

#include <charconv>

namespace jcamp {

std::string formatFixed(double x, int32_t precision) {
  // Room for the largest double in fixed notation plus sign and decimals.
  char text[400];
  const auto result =
      std::to_chars(text, text + sizeof text, x, std::chars_format::fixed, precision);
  if (result.ec != std::errc()) return std::string();
  return std::string(text, result.ptr);
}

}  // namespace jcamp
