// How reading a file went, at every step: the header scan, the document and
// its tables, the matrix. One set of codes, one table of words.
#pragma once

#include <cstdint>

namespace jcamp {

// Codes 0 to 16 are those the header scan gives (checkFileName returns them,
// and kStatusOk); the document's steps add 20 to 25.
enum Status : int32_t {
  kStatusIoError = 0,
  kStatusLabelMissing = 1,
  kStatusFormatError = 2,
  kStatusNoMemory = 3,          // to store the matrix
  kStatusIllegalCharacter = 4,  // reserved
  kStatusUnexpectedEnd = 5,
  kStatusIllegalBlocks = 6,
  kStatusNoXyTable = 7,
  kStatusUnexpectedLabel = 8,  // reserved
  kStatusXNamesRequired = 9,   // reserved
  kStatusXNameError = 10,      // reserved
  kStatusFirstLineTooLong = 11,
  kStatusIllegalNumber = 12,   // reserved
  kStatusNumberTooLong = 13,   // reserved
  kStatusIllegalNpoints = 14,  // reserved
  kStatusXValuesDiffer = 15,   // reserved
  kStatusConcentrations = 16,
  kStatusNoMemoryToRead = 20,  // to load the file or decode its tables
  kStatusOpenFailed = 21,
  kStatusNoTitle = 23,
  kStatusOutOfOrder = 25,  // a document step called before the one it needs
  kStatusOk = 100,
};

// The words of a status, with "%s", "%d" and "%c" where the step that raised
// it fills them in; "" for a code that names no status.
const char* statusText(int32_t status);

}  // namespace jcamp
