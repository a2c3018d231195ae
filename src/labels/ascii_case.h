// Upper case for ASCII letters only: label names, units and symbols compare so
// whatever the locale, and bytes of other characters stay as they are. Label
// names compare without their fillers too.
#pragma once

namespace jcamp {

constexpr char upperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The bytes a label name may hold that do not count when names compare:
// "##DATA TYPE=", "##DATA_TYPE=" and "##DATATYPE=" name one label.
constexpr bool isLabelNameFiller(char c) {
  return c == ' ' || c == '-' || c == '/' || c == '_';
}

}  // namespace jcamp
