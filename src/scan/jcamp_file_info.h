// One file named for an import: its path and the shape the header scan measured.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_io.h"

namespace jcamp {

// Table kinds of the first data block (the same codes as the table forms).
constexpr int32_t kTableKindNone = 0;
constexpr int32_t kTableKindXyPoints = 10;
constexpr int32_t kTableKindXyData = 11;
constexpr int32_t kTableKindPeakTable = 12;  // ##PEAK TABLE=(XY..XY), read under peakTables
constexpr int32_t kTableKindNTuples = 15;    // NTUPLES pages, read under ntuplesPages

// Filled in one go by a successful header scan and left untouched otherwise.
struct JcampFileInfo {
  std::string path;
  int32_t xCount = 0;       // ##NPOINTS= of the first data block
  int32_t yCount = 0;       // concentration tuples of ##CONCENTRATIONS=
  int32_t sampleCount = 0;  // data blocks in the file
  // The counts of the first successful scan (when the file was added or
  // listed), for telling whether it changed since.
  bool measured = false;
  int32_t firstXCount = 0;
  int32_t firstYCount = 0;
  int32_t firstSampleCount = 0;
  // The file as the last successful scan found it: while it stays so, that
  // scan's counts and names hold.
  platform::FileStamp scannedStamp;
  // Rows the last import made of the file when the matrix builder chose them
  // (the standard mode); -1 while the sample count stands for them.
  int32_t importedRows = -1;
  int32_t firstX = 0;      // ##FIRSTX= as a whole number
  int32_t lastX = 0;       // ##LASTX= as a whole number
  std::string firstXText;  // ##FIRSTX= as written (empty when a table of pairs lacks it)
  std::string lastXText;
  std::vector<std::string> yNames;
  int32_t tableKind = kTableKindNone;
  std::string title;   // at most 28 characters
  std::string origin;  // at most 28 characters
  std::string owner;   // at most 24 characters

  JcampFileInfo() = default;
  explicit JcampFileInfo(std::string filePath) : path(std::move(filePath)) {}
  virtual ~JcampFileInfo() = default;
};

}  // namespace jcamp
