// Writes an imported matrix: a header row of variable names, then one row per
// sample (or, transposed, one per variable), values read a row at a time
// with getValues and formatted here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jcamp_library.h"
#include "output_buffer.h"
#include "table_writer.h"

struct MatrixLayout {
  // getData's texts ("%f", "m") and the names as the library gives them;
  // else the shortest round trip, an empty field for a missing value, names
  // as UTF-8 and variable names made unique.
  bool hostCompatible = false;
  bool tsv = false;
  bool transpose = false;
  bool withOrigin = false;  // each sample's file and block after its name
};

// What is written of each sample: rows[s] says where it came from, keep[s]
// whether it is written; files are the paths by file index.
struct MatrixRows {
  std::vector<JcampSampleInfo> rows;
  std::vector<bool> keep;
  std::vector<std::string> files;
};

using RowProgress = std::function<void(int64_t done, int64_t total)>;

// False when the library does not answer or the output fails.
bool writeMatrix(JcampLibrary& library, uint32_t handle, const MatrixLayout& layout,
                 const MatrixRows& rows, OutputBuffer& out, const RowProgress& progress);

// names with a repeated one (or one of the reserved) made unique by " (2)", " (3)", ...
std::vector<std::string> uniqueNames(std::vector<std::string> names,
                                     const std::vector<std::string>& reserved);
