// What makes a sample's values suspect, and where it arose. The bits are the
// public header's JCAMP_WARN_* values; each is raised where its condition
// happens (decoder, line table, matrix builder, importer).
#pragma once

#include <cstdint>

namespace jcamp {

enum SampleWarning : uint32_t {
  kWarnNoFactor = 0x1,       // a factor the table needed was not given
  kWarnTruncated = 0x2,      // the input ended early, or a line was cut at 127 characters
  kWarnDecimalSplit = 0x4,   // an ordinate with a '.' or an exponent was split into two
  kWarnLastDropped = 0x8,    // the table's last ordinate was taken as a check value
  kWarnPrecision = 0x10,     // a DIF sum beyond 2^24 lost digits in single precision
  kWarnXReversed = 0x20,     // the X axis runs the other way from the matrix's
  kWarnXGrid = 0x40,         // the X grid is off the matrix's, or has another point count
  kWarnBlockMissing = 0x80,  // the header counts this block, the file does not hold it
  kWarnFileChanged = 0x100,  // the file changed since it was added
  kWarnNotRead = 0x200,      // the file could not be read at import time
};

// One sample's diagnostics: the table checks, the warnings and the line (from
// 1, 0 when unknown) where the first of them arose.
struct SampleDiagnostics {
  int32_t block = -1;  // data block of its file, from 0
  uint32_t checkFlags = 0;
  uint32_t warnings = 0;
  uint32_t line = 0;

  // Adds bits raised at line (0: unknown); the first line known stays.
  void note(uint32_t checks, uint32_t warningBits, uint32_t atLine) {
    checkFlags |= checks;
    warnings |= warningBits;
    if (line == 0 && (checks | warningBits) != 0) line = atLine;
  }
};

}  // namespace jcamp
