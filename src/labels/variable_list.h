// The variable list a table label gives, such as "(X++(Y..Y))" or "(XY..XY)".
#pragma once

namespace jcamp {

// Whether the list names a table of (x, y) pairs: it begins with "(XY..XY)"
// in any case, blanks anywhere (what follows is the table's text). Null or
// anything else (widths, "(XYW..XYW)"; an X++(Y..Y) table) is not.
bool listsXyPairs(const char* variableList);

}  // namespace jcamp
