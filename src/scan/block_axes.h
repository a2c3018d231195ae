// The X axes of a file's data blocks as their labels state them, read from
// the file's bytes without decoding any table: what an import needs to know
// of every spectrum before it reads one (the range they all cover).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "labels/markers.h"

namespace jcamp {

struct BlockAxis {
  std::string xUnits;  // ##XUNITS= as written; empty without it
  double firstX = kUnsetDouble;
  double lastX = kUnsetDouble;
  uint32_t nPoints = 0;
  double observeFrequency = kUnsetDouble;  // ##.OBSERVE FREQUENCY=, MHz
  uint32_t dataType = 0;                   // a DataType
  bool pairs = false;                      // a table of (XY..XY) pairs rather than X++(Y..Y)
  bool peakTable = false;                  // the pairs are a ##PEAK TABLE=
};

// The blocks of text[0, size) that hold a data table the matrix reads
// (##XYDATA=, ##XYPOINTS=, ##PEAK TABLE=(XY..XY)), in the order of their
// ##TITLE=. A label is "##NAME=value" at the start of a line (after blanks),
// its name compared in any case without blanks, '-', '/' and '_'; it belongs
// to the innermost block whose ##TITLE= came before it and whose ##END= did not.
std::vector<BlockAxis> scanBlockAxes(const char* text, size_t size);

}  // namespace jcamp
