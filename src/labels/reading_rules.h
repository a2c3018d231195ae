// How files are read. One value per import handle, chosen before its first
// file is added and handed to the header scan, the line table and the
// decoders. Every member is one rule, read at the one step where it forks;
// all false is the host-compatible reading that hosts rely on.
#pragma once

namespace jcamp {

struct ReadingRules {
  // Lines and labels (header scan and document alike).
  bool anyLineLength = false;  // lines of any length; else a line ends at 127 characters
  bool anyLineEnd = false;     // CR, LF and CR LF end a line alike
  bool looseLabelNames =
      false;                 // label names (and LINK) compared ignoring case, blanks, '-', '/', '_'
  bool endOptional = false;  // a file may end without ##END=
  bool dataTypeOptional = false;  // a block without ##DATATYPE= is typed by its table
  bool peakTables = false;        // ##PEAK TABLE=(XY..XY) and ##XYDATA=(XY..XY) are read as pairs
  // Blank lines and text before the first ##TITLE= are passed over when the
  // document loads (the header scan always looks for the title).
  bool textBeforeTitle = false;
  // Decoding.
  bool decimalOrdinates = false;      // an X++(Y..Y) ordinate with '.' or an exponent is one number
  bool doubleSums = false;            // DIF sums and scaling in double, stored as float
  bool keepLastOrdinate = false;      // the Y check applies only between lines
  bool missingFactorIsOne = false;    // a missing ##XFACTOR= or ##YFACTOR= scales by 1
  bool firstYCheckWhenGiven = false;  // no ##FIRSTY= check without ##FIRSTY=
  // A line's abscissa is checked in the file's units, and passes within half
  // a step of the grid or of the line before it.
  bool xCheckAlongLines = false;
  // The matrix.
  bool alignReversedX = false;   // a block whose X runs the other way is put in column order
  bool refuseOtherGrid = false;  // a block off the first block's X grid is refused
  bool rowsForBlocks = false;    // one row per block with a data table, named without shifting
  bool roundTripNames = false;   // X names read back to their abscissa, none twice
};

constexpr ReadingRules kHostCompatibleRules{};

constexpr ReadingRules kStandardRules{true, true, true, true, true, true, true, true, true,
                                      true, true, true, true, true, true, true, true};

// The reading modes a host chooses from (the public header's JCAMP_MODE_*).
constexpr int kModeHostCompatible = 0;
constexpr int kModeStandard = 1;

// The rules of a mode; false for a mode that does not exist.
inline bool rulesForMode(int mode, ReadingRules& rules) {
  if (mode == kModeHostCompatible) {
    rules = kHostCompatibleRules;
  } else if (mode == kModeStandard) {
    rules = kStandardRules;
  } else {
    return false;
  }
  return true;
}

}  // namespace jcamp
