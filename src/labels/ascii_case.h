// Upper case for ASCII letters only: label names, units and symbols compare so
// whatever the locale, and bytes of other characters stay as they are.
#pragma once

namespace jcamp {

constexpr char upperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace jcamp
