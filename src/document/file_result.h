// What reading one file for the matrix gives: its rows' values, their names
// and diagnostics, the blocks it left out, and how the reading went.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/value_block.h"
#include "labels/sample_warnings.h"
#include "labels/status.h"

namespace jcamp {

struct FileResult {
  Status status = kStatusOk;
  std::string message;  // the status's words, filled in; empty when the file was read

  // rows x columns floats, row by row: the value of row r and variable v is
  // values[r * columns + v]. Null when the file was not read, or when it
  // gives no value.
  ValueBlock values;
  int32_t rows = 0;
  int32_t columns = 0;

  std::vector<std::string> sampleNames;
  std::vector<std::string> xNames;  // only when the reading was asked to name the variables
  std::vector<std::string> yNames;
  std::vector<SampleDiagnostics> diagnostics;  // one per row the plan made
  // One line per block or page left out (at most a few, then a count).
  std::vector<std::string> refusedBlocks;
  // Blocks and pages left out, and rows whose block holds a table left out.
  uint32_t leftOut = 0;
  // Warnings that concern every row of the file (it changed since it was
  // added, it could not be read): the import's, not the file's own.
  uint32_t fileWarnings = 0;

  bool read() const { return status == kStatusOk; }
};

}  // namespace jcamp
