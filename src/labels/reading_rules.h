// How files are read. One value per import handle, chosen before its first
// file is added and handed through the constructors of the header scanner,
// the document and its line table, and to the table decoders. Each member is
// one rule, read where its behaviour forks (named beside it); all false is
// the host-compatible reading that hosts rely on. A file is read twice, by
// the header scan and by the document, so a rule of lines or labels forks in
// both readers.
#pragma once

namespace jcamp {

struct ReadingRules {
  // Lines and labels.
  bool anyLineLength = false;     // lines of any length; else a line ends at 127 characters
                                  // (scan: label reader; document: line table)
  bool anyLineEnd = false;        // CR, LF and CR LF end a line alike (scan: label reader;
                                  // document: line table)
  bool looseLabelNames = false;   // the scan compares label names (and LINK) ignoring case,
                                  // blanks, '-', '/', '_', as the document always does
                                  // (scan: label reader, header scan)
  bool endOptional = false;       // a file may end without ##END= (scan: label reader)
  bool dataTypeOptional = false;  // a block without ##DATATYPE= is typed by its table
                                  // (scan: header scan)
  bool peakTables = false;        // ##PEAK TABLE=(XY..XY) and ##XYDATA=(XY..XY) are read as pairs
                                  // (scan: table kind; document: label dictionary)
  bool textBeforeTitle = false;   // blank lines and text before the first ##TITLE= are passed
                                  // over (document: load; the header scan always looks for it)
  bool ntuplesPages = false;      // an NTUPLES block's pages, and the tables of a block that holds
                                  // several, are data blocks of their own (scan: table kind,
                                  // shape and count; label dictionary: the NTUPLES labels;
                                  // document: data blocks)
  // Decoding (table readers, line decoders).
  bool decimalOrdinates = false;      // an X++(Y..Y) ordinate with '.' or an exponent is one number
  bool doubleSums = false;            // DIF sums and scaling in double, stored as float
  bool keepLastOrdinate = false;      // the Y check applies only between lines
  bool missingFactorIsOne = false;    // a missing ##XFACTOR= or ##YFACTOR= scales by 1
  bool firstYCheckWhenGiven = false;  // no ##FIRSTY= check without ##FIRSTY=
  bool xCheckAlongLines = false;      // a line's abscissa is checked in the file's units, and
                                      // passes within half a step of the grid or of the line
                                      // before it (table readers)
  // The matrix.
  bool alignReversedX = false;   // a block whose X runs the other way is put in column order
                                 // (row planner)
  bool refuseOtherGrid = false;  // a block off the first block's X grid is refused (row planner)
  bool rowsForBlocks = false;    // one row per block with a data table, named without shifting:
                                 // chooses the row model (RowModel::of), which the scan, the
                                 // block fill, the row planner and the importer then ask
  bool roundTripNames = false;   // X names read back to their abscissa, none twice (matrix
                                 // builder; checkFileName's first and last X)
};

constexpr ReadingRules kHostCompatibleRules{};

constexpr ReadingRules standardRules() {
  ReadingRules rules;
  rules.anyLineLength = true;
  rules.anyLineEnd = true;
  rules.looseLabelNames = true;
  rules.endOptional = true;
  rules.dataTypeOptional = true;
  rules.peakTables = true;
  rules.textBeforeTitle = true;
  rules.ntuplesPages = true;
  rules.decimalOrdinates = true;
  rules.doubleSums = true;
  rules.keepLastOrdinate = true;
  rules.missingFactorIsOne = true;
  rules.firstYCheckWhenGiven = true;
  rules.xCheckAlongLines = true;
  rules.alignReversedX = true;
  rules.refuseOtherGrid = true;
  rules.rowsForBlocks = true;
  rules.roundTripNames = true;
  return rules;
}
// The JCAMP-DX standard's reading (the public header's JCAMP_MODE_STANDARD).
constexpr ReadingRules kStandardRules = standardRules();

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
