// What makes a sample's values suspect, and where it arose. The bits are the
// public header's JCAMP_WARN_* values; each is raised where its condition
// happens (decoder, line table, matrix builder, importer).
#pragma once

#include <cstdint>

#include "jcampimport.h"

namespace jcamp {

enum SampleWarning : uint32_t {
  kWarnNoFactor = JCAMP_WARN_NO_FACTOR,          // a factor the table needed was not given
  kWarnTruncated = JCAMP_WARN_TRUNCATED,         // the input ended early, or a line was cut
  kWarnDecimalSplit = JCAMP_WARN_DECIMAL_SPLIT,  // an ordinate split at a '.' or an exponent
  kWarnLastDropped = JCAMP_WARN_LAST_DROPPED,    // the last ordinate was taken as a check value
  kWarnPrecision = JCAMP_WARN_PRECISION,         // a float ordinate beyond 2^24 lost digits
  kWarnXReversed = JCAMP_WARN_X_REVERSED,        // the X axis runs the other way from the matrix's
  kWarnXGrid = JCAMP_WARN_X_GRID,  // the X grid is off the matrix's, or longer/shorter
  kWarnBlockMissing = JCAMP_WARN_BLOCK_MISSING,  // the header counts this block, the file lacks it
  kWarnFileChanged = JCAMP_WARN_FILE_CHANGED,    // the file changed since it was added
  kWarnNotRead = JCAMP_WARN_NOT_READ,            // the file could not be read at import time
  kWarnResampled = JCAMP_WARN_RESAMPLED,         // put onto the grid asked for (not a suspicion)
  kWarnYUnits = JCAMP_WARN_Y_UNITS,              // under a grid: other ##YUNITS= than the first row
  kWarnTextBeforeTitle = JCAMP_WARN_TEXT_BEFORE_TITLE,  // lines before the first ##TITLE= passed
  kWarnUnreadTable = JCAMP_WARN_UNREAD_TABLE,  // the block holds a table this reading leaves out
};

// One sample's diagnostics: the table checks, the warnings and the line (from
// 1, 0 when unknown) where the first of them arose; for a resampled sample the
// share of the matrix's X points its values fill.
struct SampleDiagnostics {
  int32_t block = -1;  // data block of its file, from 0
  int32_t page = -1;   // page of that block, from 0; -1 for the whole block
  uint32_t checkFlags = 0;
  uint32_t warnings = 0;
  uint32_t line = 0;
  float coverage = 1.0f;

  // Adds bits raised at line (0: unknown); the first line known stays.
  void note(uint32_t checks, uint32_t warningBits, uint32_t atLine) {
    checkFlags |= checks;
    warnings |= warningBits;
    if (line == 0 && (checks | warningBits) != 0) line = atLine;
  }
};

}  // namespace jcamp
