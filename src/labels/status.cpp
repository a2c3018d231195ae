#include "labels/status.h"

namespace jcamp {
namespace {

constexpr const char* kHeaderTexts[] = {
    "General file IO error",
    "Label %s missing in block number %d",
    "General JCAMP format error",
    "Not enough memory to store the matrix",
    "Illegal character \"%c\" in line %d",
    "Unexpected end of file %s",
    "Illegal ##BLOCKS= value: %d",
    "Tabular data XYDATA or XYPOINTS required",
    "Unexpected label in line %d",
    "X names are required",
    "X name error: \"%s\" (must be number)",
    "First line too long in JCAMP-DX file",
    "Illegal number string \"%s\" in line %d",
    "Number string \"%s\" too long in line %d",
    "Illegal NPOINTS value in data block number %d",
    "JCAMP X-values are different from other files in group",
    "Format error in ##CONCENTRATIONS data",
};
constexpr int32_t kHeaderTextCount = sizeof kHeaderTexts / sizeof kHeaderTexts[0];

}  // namespace

const char* statusText(int32_t status) {
  if (status >= 0 && status < kHeaderTextCount) return kHeaderTexts[status];
  switch (status) {
    case kStatusNoMemoryToRead:
      return "Not enough memory to read the file";
    case kStatusOpenFailed:
      return "The file cannot be opened for reading";
    case kStatusNoTitle:
      return "The file does not begin with a ##TITLE= line";
    case kStatusOutOfOrder:
      return "Internal error: the file was read out of order";
    default:
      return "";
  }
}

}  // namespace jcamp
