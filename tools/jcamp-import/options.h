// Command line of jcamp-import.
#pragma once

#include <string>
#include <vector>

#include "jcampimport.h"

struct Options {
  std::string libraryPath;  // empty: the library beside the executable
  std::string outputPath;   // empty: standard output
  bool tsv = false;
  bool list = false;
  bool transpose = false;       // variables as rows, samples as columns
  bool stopOnError = false;     // a file left out stops the run instead
  bool hostCompatible = false;  // the library's default reading and getData's texts
  bool strict = false;          // a file with a warning is left out (or stops the run)
  bool withOrigin = false;      // each row's file and block as two more columns
  bool choose = false;          // --choose [DIR]: the user picks the files in the import dialog
  JcampGrid grid{sizeof(JcampGrid), JCAMP_GRID_NONE, 0, 0, 0, {}};  // --grid
  std::vector<std::string> files;
};

enum class Command { kRun, kHelp, kVersion, kUsageError };

// Parses argv; on kUsageError, error says what was wrong.
Command parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

const char* usageText();
